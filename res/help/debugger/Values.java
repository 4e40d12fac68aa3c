package tarvo.service;

import com.sun.jdi.AbsentInformationException;
import com.sun.jdi.ArrayReference;
import com.sun.jdi.CharValue;
import com.sun.jdi.Field;
import com.sun.jdi.LocalVariable;
import com.sun.jdi.ObjectReference;
import com.sun.jdi.PrimitiveValue;
import com.sun.jdi.StackFrame;
import com.sun.jdi.StringReference;
import com.sun.jdi.Value;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.HashMap;
import java.util.HashSet;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;
import java.util.Set;

/**
 * What the variables of a stopped program hold, as the user reads them: numbers and booleans
 * as Java writes them, characters and strings quoted as in source, arrays by their type and
 * length, boxed numbers by their value, other objects by their class and an id that tells two
 * objects apart. Arrays and objects other than strings can be expanded: they are handed out by
 * id, valid until the program goes on.
 */
final class Values {
    /** Elements shown of a long array; the rest is named by one item. */
    static final int MOST_ELEMENTS = 1000;
    /** Characters shown of a long string. */
    static final int MOST_CHARACTERS = 2000;
    private static final Set<String> BOXES = new HashSet<>(Arrays.asList(
            "java.lang.Integer", "java.lang.Long", "java.lang.Short", "java.lang.Byte",
            "java.lang.Character", "java.lang.Boolean", "java.lang.Float", "java.lang.Double"));

    private final Map<Long, ObjectReference> handedOut = new HashMap<>();

    /** The program goes on: the objects handed out may change or go. */
    void clear() {
        handedOut.clear();
    }

    /** this, the parameters and the local variables in scope, in that order. */
    List<Object> ofFrame(StackFrame frame) {
        List<Object> items = new ArrayList<>();
        ObjectReference self = frame.thisObject();
        if (self != null) {
            items.add(item("this", "this", self.referenceType().name(), self));
        }
        try {
            for (LocalVariable variable : frame.visibleVariables()) {
                items.add(item(variable.name(), variable.isArgument() ? "argument" : "local",
                        variable.typeName(), frame.getValue(variable)));
            }
        } catch (AbsentInformationException compiledWithoutNames) {
            // Without the local variable table only the parameters' values are known.
            List<Value> arguments = frame.getArgumentValues();
            for (int index = 0; index < arguments.size(); ++index) {
                Value value = arguments.get(index);
                items.add(item("arg" + index, "argument",
                        value == null ? "" : value.type().name(), value));
            }
            Map<String, Object> note = new LinkedHashMap<>();
            note.put("name", "(local variables unknown: compiled without -g)");
            note.put("kind", "note");
            note.put("type", "");
            note.put("value", "");
            note.put("object", 0L);
            items.add(note);
        }
        return items;
    }

    /** The elements of an array or the fields of an object handed out before. */
    List<Object> ofObject(long id) {
        ObjectReference object = handedOut.get(id);
        if (object == null) {
            throw new IllegalArgumentException("no object " + id + " while stopped here");
        }
        List<Object> items = new ArrayList<>();
        if (object instanceof ArrayReference) {
            ArrayReference array = (ArrayReference) object;
            int shown = Math.min(array.length(), MOST_ELEMENTS);
            String elementType = componentOf(array.type().name());
            List<Value> elements = shown == 0 ? new ArrayList<>() : array.getValues(0, shown);
            for (int index = 0; index < shown; ++index) {
                items.add(item("[" + index + "]", "element", elementType, elements.get(index)));
            }
            if (array.length() > shown) {
                Map<String, Object> more = new LinkedHashMap<>();
                more.put("name", "...");
                more.put("kind", "note");
                more.put("type", "");
                more.put("value", (array.length() - shown) + " more elements");
                more.put("object", 0L);
                items.add(more);
            }
            return items;
        }
        for (Field field : object.referenceType().allFields()) {
            if (!field.isStatic()) {
                items.add(item(field.name(), "field", field.typeName(), object.getValue(field)));
            }
        }
        return items;
    }

    private Map<String, Object> item(String name, String kind, String type, Value value) {
        Map<String, Object> item = new LinkedHashMap<>();
        item.put("name", name);
        item.put("kind", kind);
        item.put("type", type);
        item.put("value", text(value));
        long id = 0;
        boolean empty = value instanceof ArrayReference && ((ArrayReference) value).length() == 0;
        if (value instanceof ObjectReference && !(value instanceof StringReference) && !empty) {
            ObjectReference object = (ObjectReference) value;
            id = object.uniqueID();
            handedOut.put(id, object);
        }
        item.put("object", id);
        return item;
    }

    static String text(Value value) {
        if (value == null) {
            return "null";
        }
        if (value instanceof StringReference) {
            String string = ((StringReference) value).value();
            boolean cut = string.length() > MOST_CHARACTERS;
            return quoted(cut ? string.substring(0, MOST_CHARACTERS) : string, '"')
                    + (cut ? "..." : "");
        }
        if (value instanceof CharValue) {
            return quoted(String.valueOf(((CharValue) value).value()), '\'');
        }
        if (value instanceof PrimitiveValue) {
            return value.toString();
        }
        if (value instanceof ArrayReference) {
            ArrayReference array = (ArrayReference) value;
            String type = array.type().name();
            int bracket = type.indexOf('[');
            return type.substring(0, bracket + 1) + array.length() + type.substring(bracket + 1);
        }
        ObjectReference object = (ObjectReference) value;
        String type = object.referenceType().name();
        if (BOXES.contains(type)) {
            Field inner = object.referenceType().fieldByName("value");
            if (inner != null) {
                return text(object.getValue(inner));
            }
        }
        return type.substring(type.lastIndexOf('.') + 1) + " (id=" + object.uniqueID() + ")";
    }

    private static String componentOf(String arrayType) {
        return arrayType.endsWith("[]") ? arrayType.substring(0, arrayType.length() - 2) : arrayType;
    }

    /** The text as a literal of Java source between the quote characters. */
    static String quoted(String text, char quote) {
        StringBuilder literal = new StringBuilder().append(quote);
        for (int index = 0; index < text.length(); ++index) {
            char c = text.charAt(index);
            switch (c) {
            case '\n':
                literal.append("\\n");
                break;
            case '\t':
                literal.append("\\t");
                break;
            case '\r':
                literal.append("\\r");
                break;
            case '\\':
                literal.append("\\\\");
                break;
            default:
                if (c == quote) {
                    literal.append('\\').append(c);
                } else if (c < ' ') {
                    literal.append(String.format("\\u%04x", (int) c));
                } else {
                    literal.append(c);
                }
            }
        }
        return literal.append(quote).toString();
    }
}
