package modern;

import java.util.*;
import java.util.function.BinaryOperator;

/** Shapes of today's Java. */
public sealed interface Shape
        permits Circle, Square {
    double area();

    default String describe() {
        return """
            A shape { with braces } and // marks /* in a text block
            """;
    }
}

record Circle(double r) implements Shape {
    Circle {
        if (r < 0) {
            throw new IllegalArgumentException();
        }
    }

    public double area() {
        return Math.PI * r * r;
    }
}

enum TimeUnit {
    NANOSECONDS(1L) {
        long toMicros(long d) { return d / 1000; }
    },
    SECONDS(1000_000_000L);

    private final long scale;

    TimeUnit(long scale) {
        this.scale = scale;
    }

    public long toSeconds(long duration) {
        return duration * scale / 1000_000_000L;
    }

    enum ErrorType {
        ONE, TWO;

        boolean fatal() {
            return this == TWO;
        }
    }
}

class Queue<Item> implements Iterable<Item> {
    private final Map<Character, Integer> roman = new HashMap<>() {
        {
            put('I', 1);
        }
    };
    BinaryOperator<Integer> add = (a, b) -> {
        return a + b;
    };
    Runnable task = new Runnable() {
        public void run() {
        }
    };

    private class Node<T extends Comparable<T>> {
        Node(T item) {
        }
    }

    record Pair<A, B>(A first, B second) {
        Pair {
            Objects.requireNonNull(first);
        }
    }

    public Iterator<Item> iterator() {
        Runnable r = () -> {
        };
        return null;
    }
}

public non-sealed class Square
        extends Object
        implements Shape {
    public double area() {
        int yield = switch (1) {
            case 1 -> {
                yield 2;
            }
            default -> 3;
        };
        return yield;
    }
}
