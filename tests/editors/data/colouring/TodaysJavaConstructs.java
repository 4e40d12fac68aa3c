sealed interface Shape permits Circle, Square {}
record Circle(double r) implements Shape {}
non-sealed class Square implements Shape {}
enum Unit { ON, OFF }
class Modern {
    char q = '"'; String url = "http://example.com/"; char e = '\"';
    String nul = "\u0000/\\"; int after = 1;
    String html = """
        <p class="x">{ // not a comment }</p>
        """; int then = 2;
    int size(Shape s) {
        var n = switch (s) {
            case Circle c when c.r() > 1 -> 1;
            default -> { yield 2; }
        };
        assert n > 0;
        int record = 3, yield = 4, permits = 5;
        Thread.yield();
        String to = "with"; // uses to with
        // String old = """
        //     int x;
        //     """;
        return n;
    }
}
