String url = "http://example"; // comment with int
String both = "/* in a string */"; int x;
int y; // a line comment with /* inside
int z; */ int w;
