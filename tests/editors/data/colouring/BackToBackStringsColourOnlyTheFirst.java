String s = "one""two"; int after;
int last;
