/* a { */ class C { // }
 int x = f(3);
 static {
 }
 void m(int a,
  int b) /* } */ {
 }
}
// { }