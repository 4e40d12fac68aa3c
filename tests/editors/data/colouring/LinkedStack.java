package util;

import java.util.Iterator;
import java.util.NoSuchElementException;

/* A last-in, first-out stack of items, kept as a singly linked list.
 * push, pop and peek take constant time; the iterator walks from the
 * top of the stack down.
 */
public class LinkedStack<Item> implements Iterable<Item> {
    private Node<Item> top;    // null when the stack is empty
    private int size;

    private static class Node<Item> {
        final Item item;
        final Node<Item> next;

        Node(Item item, Node<Item> next) {
            this.item = item;
            this.next = next;
        }
    }

    public boolean isEmpty() { return top == null; }

    public int size() { return size; }

    public void push(Item item) {
        top = new Node<>(item, top);
        size++;
    }

    public Item pop() {
        Item item = peek();
        top = top.next;
        size--;
        return item;
    }

    public Item peek() {
        if (isEmpty()) throw new NoSuchElementException("stack underflow");
        return top.item;
    }

    @Override
    public String toString() {
        StringBuilder text = new StringBuilder("[");
        for (Item item : this) {
            if (text.length() > 1) text.append(", ");
            text.append(item instanceof String ? "\"" + item + "\"" : item);
        }
        return text.append(']').toString();
    }

    @Override
    public Iterator<Item> iterator() {
        return new Iterator<Item>() {
            private Node<Item> current = top;

            public boolean hasNext() { return current != null; }

            public Item next() {
                if (!hasNext()) throw new NoSuchElementException();
                Item item = current.item;
                current = current.next;
                return item;
            }
        };
    }

    public static void main(String[] args) {
        LinkedStack<String> stack = new LinkedStack<>();
        for (String word : "to be or not to - be - - that - - - is".split(" ")) {
            if (word.equals("-")) System.out.print(stack.pop() + " ");
            else stack.push(word);
        }
        System.out.println("(" + stack.size() + " left on stack)");
    }
}
