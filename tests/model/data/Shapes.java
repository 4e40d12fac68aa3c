// Shapes for the drawing example. { braces in a comment before any code }
package shapes;

import java.util.List;

/* A shape knows its area. */
interface Shape {
    double area();
}

public class Circle implements Shape {
    private final double radius;

    public Circle(double radius) {
        this.radius = radius;
    }

    public double area() {
        return Math.PI * radius * radius;
    }

    static class Builder {
        private double radius;

        Builder radius(double value) {
            this.radius = value;
            if (value < 0) {
                throw new IllegalArgumentException();
            }
            return this;
        }

        Circle build() {
            return new Circle(radius);
        }
    }

    public static double total(List<Shape> shapes) {
        double sum = 0;
        for (Shape shape : shapes) {
            sum += shape.area();
        }
        return sum;
    }
}

class Square implements Shape {
    private static final String NAME = "square {";
    private final double side;

    Square(double side) {
        this.side = side;
    }

    public double area() {
        return side * side;
    }
}
