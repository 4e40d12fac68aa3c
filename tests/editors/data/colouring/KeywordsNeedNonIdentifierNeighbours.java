int2 _int intx int_ x.class Foo.class.getName()
if (a instanceof B) return;
boolean instanceOf = byValue || cast;
int9 9int int$ éint inté
