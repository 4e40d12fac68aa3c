int a; /* first *//* second
   still second */ int b;
/*/ int c;
