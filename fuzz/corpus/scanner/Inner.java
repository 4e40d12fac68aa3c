class A {
class B {
void g() {
}
}
void f() {
}
}
