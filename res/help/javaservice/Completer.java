package tarvo.service;

import com.sun.source.tree.BlockTree;
import com.sun.source.tree.ClassTree;
import com.sun.source.tree.CompilationUnitTree;
import com.sun.source.tree.ExpressionTree;
import com.sun.source.tree.IdentifierTree;
import com.sun.source.tree.MemberReferenceTree;
import com.sun.source.tree.MemberSelectTree;
import com.sun.source.tree.MethodTree;
import com.sun.source.tree.Scope;
import com.sun.source.tree.Tree;
import com.sun.source.util.JavacTask;
import com.sun.source.util.SourcePositions;
import com.sun.source.util.TreePath;
import com.sun.source.util.TreePathScanner;
import com.sun.source.util.Trees;
import java.io.IOException;
import java.io.PrintWriter;
import java.io.Writer;
import java.util.ArrayList;
import java.util.Collections;
import java.util.HashSet;
import java.util.List;
import java.util.Set;
import java.util.Map;
import java.util.function.BooleanSupplier;
import javax.lang.model.element.Element;
import javax.lang.model.element.ElementKind;
import javax.lang.model.element.ExecutableElement;
import javax.lang.model.element.Modifier;
import javax.lang.model.element.PackageElement;
import javax.lang.model.element.TypeElement;
import javax.lang.model.type.ArrayType;
import javax.lang.model.type.DeclaredType;
import javax.lang.model.type.IntersectionType;
import javax.lang.model.type.TypeKind;
import javax.lang.model.type.TypeMirror;
import javax.lang.model.type.TypeVariable;
import javax.lang.model.util.Elements;
import javax.lang.model.util.Types;
import javax.tools.DiagnosticListener;
import javax.tools.JavaCompiler;
import javax.tools.JavaFileObject;
import javax.tools.StandardJavaFileManager;

/**
 * Finds what may be written at a caret of a source text, with the JDK's own compiler: the text
 * is parsed with a marker identifier at the caret (see CaretText), the bodies of the methods
 * the caret is not in are blanked out (keeping every offset) so that only the caret's method is
 * attributed, and the tree path of the marker says what is asked for. After "expr." that is the
 * members of expr's type (the static ones after a type name, the classes and packages of a
 * package); elsewhere it is the names in scope, then the classes of the JDK and of the source
 * path that the prefix asks for.
 */
final class Completer {
    /** What is completed: the file, its text and caret, and the project it belongs to. */
    static final class Request {
        String path = "";
        String text = "";
        int caret;
        String sourcePath = "";
        List<String> options = new ArrayList<>();
        /** The unsaved texts of other files: path, text. */
        List<String[]> overlays = new ArrayList<>();
    }

    /** Where the completed name starts in the text, what is typed of it, and the entries;
     * whether they are all there are for any name that begins with the prefix (the classes of
     * the JDK and of the source path come only once a name is begun, so that the list of an
     * empty name stays short). */
    static final class Result {
        int start;
        String prefix = "";
        List<Object> items = new ArrayList<>();
        boolean complete = true;
    }

    private static final DiagnosticListener<JavaFileObject> IGNORED = diagnostic -> { };

    private final JavaCompiler compiler;
    private final StandardJavaFileManager standard;
    /** The one file manager of every task: a kept compiler context holds on to the first it
     * was given, so the texts in it are changed instead. */
    private final SourceOverlay files;
    private final TaskPool pool = new TaskPool();
    /** The source path's classes of the last request, to see when files come or go. */
    private List<String> lastSourceClasses = new ArrayList<>();

    Completer(JavaCompiler compiler) {
        this.compiler = compiler;
        this.standard = compiler.getStandardFileManager(IGNORED, null, null);
        this.files = new SourceOverlay(standard);
    }

    /** The entries for the request's caret; stops early, with none, once cancelled holds. A
     * caret before the text asks for none: the JDK's classes are read and the compiler
     * attributes the text once, so that the next request finds all that ready. */
    Result complete(Request request, BooleanSupplier cancelled) throws Exception {
        if (request.caret < 0) {
            warmUp(request);
            return new Result();
        }
        CaretText caret = new CaretText(request.text, request.caret);
        Result result = new Result();
        result.start = caret.start;
        result.prefix = caret.prefix;
        List<ClassIndex.Entry> sourceClasses = ClassIndex.sourceClasses(request.sourcePath);
        renewPoolWhenFilesChanged(sourceClasses);
        boolean declaration = false;
        for (String patched : caret.patchedTexts()) {
            if (cancelled.getAsBoolean()) {
                return result;
            }
            Attempt located = new Attempt(request, caret, sourceClasses);
            located.text = patched;
            run(located, false);
            if (located.marker == null) {
                continue;
            }
            if (located.declaration) {
                declaration = true;
                continue;
            }
            Attempt attributed = new Attempt(request, caret, sourceClasses);
            attributed.text = located.blankOtherBodies();
            run(attributed, true);
            if (attributed.proposals != null) {
                result.items = attributed.proposals.list();
                result.complete = !attributed.leftOutClasses;
                return result;
            }
        }
        // A new name is being declared, or the parser lost the marker (in a comment, say): the
        // classes a typed prefix asks for are all there is to offer, and a declared name needs
        // none.
        Proposals proposals = new Proposals();
        result.complete = declaration || !caret.prefix.isEmpty();
        if (!declaration && !caret.prefix.isEmpty()) {
            Attempt classesOnly = new Attempt(request, caret, sourceClasses);
            classesOnly.addIndexedClasses(proposals, null);
        }
        result.items = proposals.list();
        return result;
    }

    private void warmUp(Request request) throws Exception {
        SourceOverlay files = filesOf(request, request.text);
        pool.run(compiler, files, IGNORED, optionsOf(request), files.source(request.path),
                task -> {
                    task.parse();
                    CheckHandler.analyzeTheTextAlone(task);
                    return ClassIndex.jdkClasses(standard, task.getElements());
                });
    }

    /** The project's files as a request has them, with text as the text of its file. */
    private SourceOverlay filesOf(Request request, String text) {
        files.clear();
        files.put(request.path, text);
        for (String[] overlay : request.overlays) {
            files.put(overlay[0], overlay[1]);
        }
        return files;
    }

    private static List<String> optionsOf(Request request) {
        List<String> options =
                new ArrayList<>(CheckHandler.checkOptions(request.options, request.sourcePath));
        // Attribution goes on past the errors a text being typed always has.
        options.add("-XDshould-stop.ifError=FLOW");
        options.add("-Xlint:none");
        return options;
    }

    private void renewPoolWhenFilesChanged(List<ClassIndex.Entry> sourceClasses) {
        List<String> names = new ArrayList<>(sourceClasses.size());
        for (ClassIndex.Entry entry : sourceClasses) {
            names.add(entry.qualifiedName());
        }
        Collections.sort(names);
        if (!names.equals(lastSourceClasses)) {
            lastSourceClasses = names;
            pool.renew();
        }
    }

    /** Parses the attempt's text in a task of the pool; attributes it and proposes if asked. */
    private void run(Attempt attempt, boolean propose) throws Exception {
        SourceOverlay files = filesOf(attempt.request, attempt.text);
        pool.run(compiler, files, IGNORED, optionsOf(attempt.request),
                files.source(attempt.request.path), task -> {
                    attempt.parse(task);
                    if (propose && attempt.marker != null && !attempt.declaration) {
                        attempt.proposals = attempt.propose();
                    }
                    return null;
                });
    }

    /** One try at a patched text; what it holds of its task is valid only while it runs. */
    private final class Attempt {
        private final Request request;
        private final CaretText caret;
        private final List<ClassIndex.Entry> sourceClasses;
        String text;
        private JavacTask task;
        private Trees trees;
        private CompilationUnitTree unit;
        TreePath marker;
        boolean declaration;
        Proposals proposals;
        /** Whether the classes not in scope were left out, the name being empty. */
        boolean leftOutClasses;

        Attempt(Request request, CaretText caret, List<ClassIndex.Entry> sourceClasses) {
            this.request = request;
            this.caret = caret;
            this.sourceClasses = sourceClasses;
        }

        void parse(JavacTask parsing) throws IOException {
            task = parsing;
            trees = Trees.instance(task);
            unit = null;
            for (CompilationUnitTree parsed : task.parse()) {
                unit = parsed;
            }
            marker = unit == null ? null : findMarker();
        }

        private TreePath findMarker() {
            final TreePath[] found = {null};
            final boolean[] declared = {false};
            new TreePathScanner<Void, Void>() {
                @Override
                public Void scan(Tree tree, Void unused) {
                    return found[0] != null ? null : super.scan(tree, unused);
                }

                @Override
                public Void visitIdentifier(IdentifierTree node, Void unused) {
                    if (CaretText.isMarker(node.getName())) {
                        found[0] = getCurrentPath();
                    }
                    return null;
                }

                @Override
                public Void visitMemberSelect(MemberSelectTree node, Void unused) {
                    if (CaretText.isMarker(node.getIdentifier())) {
                        found[0] = getCurrentPath();
                        return null;
                    }
                    return super.visitMemberSelect(node, unused);
                }

                @Override
                public Void visitMemberReference(MemberReferenceTree node, Void unused) {
                    if (CaretText.isMarker(node.getName())) {
                        found[0] = getCurrentPath();
                        return null;
                    }
                    return super.visitMemberReference(node, unused);
                }

                @Override
                public Void visitVariable(com.sun.source.tree.VariableTree node, Void unused) {
                    markDeclared(node.getName());
                    return super.visitVariable(node, unused);
                }

                @Override
                public Void visitMethod(MethodTree node, Void unused) {
                    markDeclared(node.getName());
                    return super.visitMethod(node, unused);
                }

                @Override
                public Void visitClass(ClassTree node, Void unused) {
                    markDeclared(node.getSimpleName());
                    return super.visitClass(node, unused);
                }

                private void markDeclared(CharSequence name) {
                    if (CaretText.isMarker(name)) {
                        declared[0] = true;
                        found[0] = getCurrentPath();
                    }
                }
            }.scan(unit, null);
            declaration = declared[0];
            return found[0];
        }

        /**
         * The text with the insides of the method bodies and initializer blocks that do not
         * hold the caret replaced by spaces (line breaks kept): the compiler then has one body
         * to attribute instead of them all, and every offset stays where it was.
         */
        String blankOtherBodies() {
            final SourcePositions positions = trees.getSourcePositions();
            final char[] characters = text.toCharArray();
            final int at = caret.start;
            final boolean[] changed = {false};
            new TreePathScanner<Void, Void>() {
                @Override
                public Void visitMethod(MethodTree node, Void unused) {
                    blank(node.getBody());
                    return null;
                }

                @Override
                public Void visitClass(ClassTree node, Void unused) {
                    for (Tree member : node.getMembers()) {
                        if (member instanceof BlockTree) {
                            blank((BlockTree) member);
                        } else if (member instanceof MethodTree || member instanceof ClassTree) {
                            scan(member, null);
                        }
                    }
                    return null;
                }

                private void blank(BlockTree body) {
                    if (body == null) {
                        return;
                    }
                    long begin = positions.getStartPosition(unit, body);
                    long end = positions.getEndPosition(unit, body);
                    if (begin < 0 || end <= begin || end > characters.length
                            || (at > begin && at < end)) {
                        return;
                    }
                    for (long index = begin + 1; index < end - 1; ++index) {
                        char character = characters[(int) index];
                        if (character != '\n' && character != '\r' && character != ' ') {
                            characters[(int) index] = ' ';
                            changed[0] = true;
                        }
                    }
                }
            }.scan(unit, null);
            return changed[0] ? new String(characters) : text;
        }

        /** The entries for the marker's place. */
        Proposals propose() throws IOException {
            Proposals proposals = new Proposals();
            CheckHandler.analyzeTheTextAlone(task);
            Tree leaf = marker.getLeaf();
            if (leaf instanceof MemberSelectTree) {
                ExpressionTree expression = ((MemberSelectTree) leaf).getExpression();
                new Members(this, proposals, false).of(new TreePath(marker, expression));
            } else if (leaf instanceof MemberReferenceTree) {
                ExpressionTree expression = ((MemberReferenceTree) leaf).getQualifierExpression();
                new Members(this, proposals, true).of(new TreePath(marker, expression));
            } else {
                inScope(proposals);
                leftOutClasses = caret.prefix.isEmpty();
                if (!leftOutClasses) {
                    addIndexedClasses(proposals, task);
                }
            }
            return proposals;
        }

        /** The variables, methods and classes the marker's place sees. */
        private void inScope(Proposals proposals) {
            Elements elements = task.getElements();
            Scope scope = trees.getScope(marker);
            Set<Element> enclosing = new HashSet<>();
            for (TypeElement type = scope.getEnclosingClass(); type != null;
                    type = enclosingType(type)) {
                enclosing.add(type);
            }
            for (Scope level = scope; level != null; level = level.getEnclosingScope()) {
                for (Element element : level.getLocalElements()) {
                    ElementKind kind = element.getKind();
                    if (element instanceof TypeElement) {
                        if (isAccessible(scope, (TypeElement) element)) {
                            proposals.add(Proposals.Group.CLASS_IN_SCOPE, element, null);
                        }
                    } else if (kind == ElementKind.FIELD || kind == ElementKind.METHOD
                            || kind == ElementKind.ENUM_CONSTANT) {
                        // The enclosing classes' members follow, as the context allows;
                        // these are imported statically.
                        if (!enclosing.contains(element.getEnclosingElement())) {
                            proposals.add(Proposals.Group.MEMBER, element, null);
                        }
                    } else if (kind != ElementKind.PACKAGE) {
                        proposals.add(Proposals.Group.LOCAL, element, null);
                    }
                }
            }
            // The classes of the file's package are in scope too, whether the compiler's
            // scope lists them or not.
            String packageName = unit.getPackageName() == null ? ""
                    : unit.getPackageName().toString();
            for (ClassIndex.Entry entry : sourceClasses) {
                if (entry.packageName.equals(packageName)) {
                    proposals.addClass(Proposals.Group.CLASS_IN_SCOPE, entry, false);
                }
            }
            ExecutableElement method = scope.getEnclosingMethod();
            boolean staticOnly = method != null && method.getModifiers().contains(Modifier.STATIC);
            for (TypeElement type = scope.getEnclosingClass(); type != null;
                    type = enclosingType(type)) {
                DeclaredType declared = (DeclaredType) type.asType();
                for (Element member : elements.getAllMembers(type)) {
                    ElementKind kind = member.getKind();
                    boolean isStatic = member.getModifiers().contains(Modifier.STATIC);
                    if (member instanceof TypeElement) {
                        if (trees.isAccessible(scope, member, declared)) {
                            proposals.add(Proposals.Group.CLASS_IN_SCOPE, member, null);
                        }
                    } else if ((kind == ElementKind.FIELD || kind == ElementKind.METHOD
                            || kind == ElementKind.ENUM_CONSTANT) && (isStatic || !staticOnly)
                            && trees.isAccessible(scope, member, declared)) {
                        proposals.add(Proposals.Group.MEMBER, member, memberType(declared, member));
                    }
                }
                staticOnly |= type.getModifiers().contains(Modifier.STATIC)
                        || type.getKind().isInterface();
            }
        }

        /** The classes of the JDK and the source path whose simple names the prefix asks for. */
        void addIndexedClasses(Proposals proposals, JavacTask entered) throws IOException {
            String prefix = caret.prefix;
            List<ClassIndex.Entry> jdkClasses = entered != null
                    ? ClassIndex.jdkClasses(standard, entered.getElements())
                    : ClassIndex.jdkClassesIfRead();
            for (ClassIndex.Entry entry : jdkClasses) {
                if (NameMatch.matches(prefix, entry.simpleName)) {
                    proposals.addClass(Proposals.Group.OTHER_CLASS, entry, true);
                }
            }
            for (ClassIndex.Entry entry : sourceClasses) {
                if (NameMatch.matches(prefix, entry.simpleName)) {
                    proposals.addClass(Proposals.Group.OTHER_CLASS, entry, true);
                }
            }
        }

        boolean isAccessible(Scope scope, TypeElement type) {
            try {
                return trees.isAccessible(scope, type);
            } catch (RuntimeException unknown) {
                return false;
            }
        }

        TypeMirror memberType(DeclaredType owner, Element member) {
            try {
                return task.getTypes().asMemberOf(owner, member);
            } catch (IllegalArgumentException notAMember) {
                return member.asType();
            }
        }
    }

    /** The members of an expression's type, or of the type or package it names. */
    private final class Members {
        private final Attempt attempt;
        private final Proposals proposals;
        private final boolean methodsOnly;
        private Scope scope;

        Members(Attempt attempt, Proposals proposals, boolean methodsOnly) {
            this.attempt = attempt;
            this.proposals = proposals;
            this.methodsOnly = methodsOnly;
        }

        void of(TreePath expression) throws IOException {
            Trees trees = attempt.trees;
            scope = trees.getScope(attempt.marker);
            Element element = trees.getElement(expression);
            TypeMirror type = trees.getTypeMirror(expression);
            Tree leaf = expression.getLeaf();
            boolean names = leaf instanceof IdentifierTree || leaf instanceof MemberSelectTree;
            if (names && element != null && element.asType().getKind() == TypeKind.ERROR) {
                // What the compiler could not resolve where a value goes (java.util in
                // "java.util.marker()") may still name a package or class.
                byName(leaf.toString());
            } else if (names && element instanceof PackageElement) {
                ofPackage(((PackageElement) element).getQualifiedName().toString());
            } else if (names && element instanceof TypeElement
                    && !isThisOrSuper(leaf)) {
                ofType((TypeElement) element, true);
            } else if (type != null && type.getKind() != TypeKind.ERROR
                    && type.getKind() != TypeKind.PACKAGE) {
                ofValue(type);
            } else if (names) {
                byName(leaf.toString());
            }
        }

        private boolean isThisOrSuper(Tree leaf) {
            String text = leaf instanceof IdentifierTree
                    ? ((IdentifierTree) leaf).getName().toString()
                    : ((MemberSelectTree) leaf).getIdentifier().toString();
            return text.equals("this") || text.equals("super");
        }

        /** A name the compiler could not make out: a package or class by its qualified name. */
        private void byName(String name) throws IOException {
            Elements elements = attempt.task.getElements();
            TypeElement type = elements.getTypeElement(name);
            if (type != null) {
                ofType(type, true);
                return;
            }
            if (elements.getPackageElement(name) != null) {
                ofPackage(name);
            }
        }

        private void ofPackage(String name) throws IOException {
            String inside = name + ".";
            List<ClassIndex.Entry> classes = new ArrayList<>(
                    ClassIndex.jdkClasses(standard, attempt.task.getElements()));
            classes.addAll(attempt.sourceClasses);
            for (ClassIndex.Entry entry : classes) {
                if (entry.packageName.equals(name)) {
                    proposals.addClass(Proposals.Group.MEMBER, entry, false);
                } else if (entry.packageName.startsWith(inside)) {
                    proposals.addPackage(nextPart(entry.packageName, inside.length()));
                }
            }
            for (String packageName : ClassIndex.jdkPackages()) {
                if (packageName.startsWith(inside)) {
                    proposals.addPackage(nextPart(packageName, inside.length()));
                }
            }
        }

        private String nextPart(String packageName, int from) {
            int dot = packageName.indexOf('.', from);
            return dot < 0 ? packageName.substring(from) : packageName.substring(from, dot);
        }

        /** The members of a value of the type: its instance fields and methods. */
        private void ofValue(TypeMirror type) {
            switch (type.getKind()) {
            case DECLARED:
                ofDeclared((DeclaredType) type, false);
                break;
            case TYPEVAR:
                ofValue(((TypeVariable) type).getUpperBound());
                break;
            case INTERSECTION:
                for (TypeMirror bound : ((IntersectionType) type).getBounds()) {
                    ofValue(bound);
                }
                break;
            case ARRAY:
                if (!methodsOnly) {
                    proposals.addWord("length", "field", "int");
                }
                ofObject();
                break;
            default:
                break; // primitives have no members
            }
        }

        /** The static members of a type named in the source: fields, methods and classes. */
        private void ofType(TypeElement type, boolean statics) {
            ofDeclared((DeclaredType) type.asType(), statics);
            if (statics && !methodsOnly) {
                proposals.addWord("class", "keyword", "Class<" + type.getSimpleName() + ">");
            }
        }

        private void ofDeclared(DeclaredType type, boolean statics) {
            Elements elements = attempt.task.getElements();
            TypeElement element = (TypeElement) type.asElement();
            for (Element member : elements.getAllMembers(element)) {
                addMember(type, member, statics);
            }
            if (!statics && element.getKind().isInterface()) {
                // An interface's values are objects: Object's methods are theirs too.
                ofObject();
            }
        }

        private void ofObject() {
            TypeElement object = attempt.task.getElements().getTypeElement("java.lang.Object");
            if (object != null) {
                ofDeclared((DeclaredType) object.asType(), false);
            }
        }

        private void addMember(DeclaredType owner, Element member, boolean statics) {
            ElementKind kind = member.getKind();
            boolean isStatic = member.getModifiers().contains(Modifier.STATIC);
            boolean wanted;
            if (member instanceof TypeElement) {
                wanted = statics && !methodsOnly;
            } else if (kind == ElementKind.METHOD) {
                wanted = !statics || isStatic || methodsOnly;
            } else if (kind == ElementKind.FIELD || kind == ElementKind.ENUM_CONSTANT) {
                wanted = !methodsOnly && isStatic == statics;
            } else {
                wanted = false;
            }
            if (!wanted || !isAccessible(owner, member)) {
                return;
            }
            if (!statics && isStatic && kind == ElementKind.METHOD && !methodsOnly) {
                return; // static methods are called on their class
            }
            proposals.add(Proposals.Group.MEMBER, member, attempt.memberType(owner, member));
        }

        private boolean isAccessible(DeclaredType owner, Element member) {
            try {
                return attempt.trees.isAccessible(scope, member, owner);
            } catch (RuntimeException unknown) {
                return member.getModifiers().contains(Modifier.PUBLIC);
            }
        }
    }

    private static TypeElement enclosingType(TypeElement type) {
        for (Element outer = type.getEnclosingElement(); outer != null;
                outer = outer.getEnclosingElement()) {
            if (outer instanceof TypeElement) {
                return (TypeElement) outer;
            }
            if (outer instanceof PackageElement) {
                return null;
            }
        }
        return null;
    }

    /** The fields of a request to complete. */
    static Request requestOf(Message message) {
        Request request = new Request();
        request.path = message.string("path");
        request.text = message.string("text");
        request.caret = (int) Math.max(-1, Math.min(message.number("caret"), Integer.MAX_VALUE));
        request.sourcePath = message.string("sourcepath");
        request.options = message.strings("options");
        for (Object overlay : message.list("overlays")) {
            if (overlay instanceof Map) {
                Map<?, ?> file = (Map<?, ?>) overlay;
                request.overlays.add(new String[] {String.valueOf(file.get("path")),
                        String.valueOf(file.get("text"))});
            }
        }
        return request;
    }
}
