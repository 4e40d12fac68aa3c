package tarvo.service;

import java.util.ArrayList;
import java.util.Collections;
import java.util.HashSet;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;
import java.util.Set;
import javax.lang.model.element.Element;
import javax.lang.model.element.ElementKind;
import javax.lang.model.element.ExecutableElement;
import javax.lang.model.element.PackageElement;
import javax.lang.model.element.TypeElement;
import javax.lang.model.element.VariableElement;
import javax.lang.model.type.ArrayType;
import javax.lang.model.type.DeclaredType;
import javax.lang.model.type.ExecutableType;
import javax.lang.model.type.IntersectionType;
import javax.lang.model.type.TypeKind;
import javax.lang.model.type.TypeMirror;
import javax.lang.model.type.TypeVariable;
import javax.lang.model.type.UnionType;
import javax.lang.model.type.WildcardType;

/**
 * The entries of one completion list, in the order they are shown, each once. An entry is a
 * record of "name", "kind" (local, parameter, field, method, class, interface, enum,
 * annotation, package), "params" (the parameter types of a method, as source names them),
 * "type" (a method's result, a variable's type, a class's package) and "import" (the qualified
 * name of a class not in scope, which Tarvo imports when it is from another package; "" for the
 * rest).
 * Types are written with simple names: List<String>, Map.Entry<K,V>.
 */
final class Proposals {
    /** The groups entries come in, nearest first; entries are sorted by name in each. */
    enum Group { LOCAL, MEMBER, CLASS_IN_SCOPE, OTHER_CLASS }

    private static final class Item {
        final Group group;
        final Map<String, Object> fields;

        Item(Group group, Map<String, Object> fields) {
            this.group = group;
            this.fields = fields;
        }

        String name() {
            return (String) fields.get("name");
        }

        int parameterCount() {
            return ((List<?>) fields.get("params")).size();
        }
    }

    private final List<Item> items = new ArrayList<>();
    /** What is listed already: a nearer variable hides an outer one of its name, a method is
     * listed once for each parameter list, a class once for its qualified name. */
    private final Set<String> variables = new HashSet<>();
    private final Set<String> methods = new HashSet<>();
    private final Set<String> classes = new HashSet<>();
    private final Set<String> others = new HashSet<>();

    /** A variable, method or class element, with the type it has where it is used. */
    void add(Group group, Element element, TypeMirror typeThere) {
        ElementKind kind = element.getKind();
        String name = element.getSimpleName().toString();
        if (name.isEmpty() || name.equals("this") || name.equals("super")
                || CaretText.isMarker(name)) {
            return;
        }
        List<Object> parameters = new ArrayList<>();
        String type;
        String kindName;
        String importName = "";
        String qualifiedName = "";
        if (kind == ElementKind.METHOD) {
            ExecutableElement method = (ExecutableElement) element;
            ExecutableType signature = typeThere instanceof ExecutableType
                    ? (ExecutableType) typeThere : (ExecutableType) method.asType();
            List<? extends TypeMirror> types = signature.getParameterTypes();
            for (int index = 0; index < types.size(); ++index) {
                String parameter = shortName(types.get(index));
                if (method.isVarArgs() && index == types.size() - 1 && parameter.endsWith("[]")) {
                    parameter = parameter.substring(0, parameter.length() - 2) + "...";
                }
                parameters.add(parameter);
            }
            type = shortName(signature.getReturnType());
            kindName = "method";
        } else if (element instanceof VariableElement) {
            type = shortName(typeThere != null ? typeThere : element.asType());
            kindName = kind == ElementKind.PARAMETER ? "parameter"
                    : kind == ElementKind.FIELD || kind == ElementKind.ENUM_CONSTANT ? "field"
                    : "local";
        } else if (element instanceof TypeElement) {
            // Named as it is in scope, or after its outer class or package: no import.
            TypeElement typeElement = (TypeElement) element;
            kindName = classKind(kind);
            type = packageOf(typeElement);
            qualifiedName = typeElement.getQualifiedName().toString();
        } else if (element instanceof PackageElement) {
            addPackage(name);
            return;
        } else {
            return;
        }
        boolean fresh = kindName.equals("method") ? methods.add(name + parameters)
                : element instanceof TypeElement ? classes.add(qualifiedName) : variables.add(name);
        if (!fresh) {
            return;
        }
        items.add(new Item(group, fields(name, kindName, parameters, type, importName)));
    }

    /** A class from the index of classes, by name; with its import unless it is named after
     * its package. */
    void addClass(Group group, ClassIndex.Entry entry, boolean imported) {
        if (!classes.add(entry.qualifiedName())) {
            return;
        }
        items.add(new Item(group, fields(entry.simpleName, entry.kind, new ArrayList<>(),
                entry.packageName, imported ? entry.qualifiedName() : "")));
    }

    /** A package, by the last part of its name. */
    void addPackage(String simpleName) {
        if (others.add("p " + simpleName)) {
            items.add(new Item(Group.MEMBER, fields(simpleName, "package", new ArrayList<>(), "",
                    "")));
        }
    }

    /** A member no element stands for: a word of the language that goes where a member does
     * (class after a type name, a keyword) or an array's length (a field). */
    void addWord(String word, String kind, String type) {
        if (others.add(kind + " " + word)) {
            items.add(new Item(Group.MEMBER, fields(word, kind, new ArrayList<>(), type, "")));
        }
    }

    boolean isEmpty() {
        return items.isEmpty();
    }

    /** The entries: by group, then by name whatever its case, then by parameter count. */
    List<Object> list() {
        List<Item> sorted = new ArrayList<>(items);
        Collections.sort(sorted, (a, b) -> {
            int order = a.group.compareTo(b.group);
            if (order == 0) {
                order = String.CASE_INSENSITIVE_ORDER.compare(a.name(), b.name());
            }
            if (order == 0) {
                order = a.name().compareTo(b.name());
            }
            return order != 0 ? order : Integer.compare(a.parameterCount(), b.parameterCount());
        });
        List<Object> records = new ArrayList<>(sorted.size());
        for (Item item : sorted) {
            records.add(item.fields);
        }
        return records;
    }

    private static Map<String, Object> fields(String name, String kind, List<Object> parameters,
            String type, String importName) {
        Map<String, Object> fields = new LinkedHashMap<>();
        fields.put("name", name);
        fields.put("kind", kind);
        fields.put("params", parameters);
        fields.put("type", type);
        fields.put("import", importName);
        return fields;
    }

    static String classKind(ElementKind kind) {
        switch (kind.name()) {
        case "INTERFACE":
            return "interface";
        case "ENUM":
            return "enum";
        case "ANNOTATION_TYPE":
            return "annotation";
        case "RECORD":
            return "record";
        default:
            return "class";
        }
    }

    private static String packageOf(TypeElement type) {
        Element outer = type.getEnclosingElement();
        while (outer != null && !(outer instanceof PackageElement)) {
            outer = outer.getEnclosingElement();
        }
        return outer == null ? "" : ((PackageElement) outer).getQualifiedName().toString();
    }

    /** A type as source would name it where its classes are imported. */
    static String shortName(TypeMirror type) {
        switch (type.getKind()) {
        case DECLARED: {
            DeclaredType declared = (DeclaredType) type;
            StringBuilder name = new StringBuilder(nestedName(declared.asElement()));
            List<? extends TypeMirror> arguments = declared.getTypeArguments();
            if (!arguments.isEmpty()) {
                name.append('<');
                for (int index = 0; index < arguments.size(); ++index) {
                    if (index > 0) {
                        name.append(',');
                    }
                    name.append(shortName(arguments.get(index)));
                }
                name.append('>');
            }
            return name.toString();
        }
        case ARRAY:
            return shortName(((ArrayType) type).getComponentType()) + "[]";
        case TYPEVAR:
            return ((TypeVariable) type).asElement().getSimpleName().toString();
        case WILDCARD: {
            WildcardType wildcard = (WildcardType) type;
            if (wildcard.getExtendsBound() != null) {
                return "? extends " + shortName(wildcard.getExtendsBound());
            }
            if (wildcard.getSuperBound() != null) {
                return "? super " + shortName(wildcard.getSuperBound());
            }
            return "?";
        }
        case INTERSECTION:
            return joined(((IntersectionType) type).getBounds(), "&");
        case UNION:
            return joined(((UnionType) type).getAlternatives(), "|");
        default:
            return type.getKind() == TypeKind.ERROR ? "" : type.toString();
        }
    }

    private static String nestedName(Element element) {
        String name = element.getSimpleName().toString();
        Element outer = element.getEnclosingElement();
        if (outer instanceof TypeElement) {
            return nestedName(outer) + "." + name;
        }
        return name;
    }

    private static String joined(List<? extends TypeMirror> types, String separator) {
        StringBuilder name = new StringBuilder();
        for (TypeMirror type : types) {
            if (name.length() > 0) {
                name.append(separator);
            }
            name.append(shortName(type));
        }
        return name.toString();
    }
}
