package tarvo.service;

import java.io.DataInputStream;
import java.io.IOException;
import java.io.InputStream;
import java.nio.file.FileVisitOption;
import java.nio.file.FileVisitResult;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.nio.file.SimpleFileVisitor;
import java.nio.file.attribute.BasicFileAttributes;
import java.util.ArrayList;
import java.util.Collections;
import java.util.EnumSet;
import java.util.List;
import javax.lang.model.element.ModuleElement;
import javax.lang.model.util.ElementFilter;
import javax.lang.model.util.Elements;
import javax.tools.JavaFileManager;
import javax.tools.JavaFileObject;
import javax.tools.StandardLocation;

/**
 * The classes a source may name from other packages: the public top-level classes of the
 * packages the JDK's modules export to everyone (read once per service, from the class files'
 * headers, without loading them into the compiler), and the classes of a project's source path
 * (one per source file, found afresh for each request, as files come and go).
 */
final class ClassIndex {
    /** A class by its package and simple name, and its kind: class, interface, enum, annotation. */
    static final class Entry {
        final String packageName;
        final String simpleName;
        final String kind;

        Entry(String packageName, String simpleName, String kind) {
            this.packageName = packageName;
            this.simpleName = simpleName;
            this.kind = kind;
        }

        String qualifiedName() {
            return packageName.isEmpty() ? simpleName : packageName + "." + simpleName;
        }
    }

    private static final int ACC_PUBLIC = 0x0001;
    private static final int ACC_INTERFACE = 0x0200;
    private static final int ACC_ANNOTATION = 0x2000;
    private static final int ACC_ENUM = 0x4000;
    /** Folders deeper than this under a source path are not looked into. */
    private static final int MOST_SOURCE_DEPTH = 24;
    private static final int MOST_VISITED = 5000;
    /** How long the classes of a source path found for one request serve the next ones. */
    private static final long SOURCE_CLASSES_KEPT_MS = 3000;

    private static String lastSourcePath;
    private static List<Entry> lastSourceClasses;
    private static long lastSourceClassesFound;

    private static List<Entry> jdk;
    private static List<String> jdkPackages;

    private ClassIndex() {}

    /** The JDK's classes, read at the first call with the file manager and elements of a task. */
    static synchronized List<Entry> jdkClasses(JavaFileManager files, Elements elements)
            throws IOException {
        if (jdk == null) {
            List<Entry> classes = new ArrayList<>();
            List<String> packages = new ArrayList<>();
            for (ModuleElement module : elements.getAllModuleElements()) {
                if (module.isUnnamed()) {
                    continue;
                }
                JavaFileManager.Location location = files.getLocationForModule(
                        StandardLocation.SYSTEM_MODULES, module.getQualifiedName().toString());
                if (location == null) {
                    continue;
                }
                for (ModuleElement.ExportsDirective export :
                        ElementFilter.exportsIn(module.getDirectives())) {
                    if (export.getTargetModules() != null) {
                        continue;
                    }
                    String packageName = export.getPackage().getQualifiedName().toString();
                    packages.add(packageName);
                    addPublicClasses(files, location, packageName, classes);
                }
            }
            Collections.sort(packages);
            jdkPackages = Collections.unmodifiableList(packages);
            jdk = Collections.unmodifiableList(classes);
        }
        return jdk;
    }

    /** The JDK's classes when they have been read, else none. */
    static synchronized List<Entry> jdkClassesIfRead() {
        return jdk == null ? Collections.<Entry>emptyList() : jdk;
    }

    /** The packages the JDK exports to everyone, sorted; empty before jdkClasses was read. */
    static synchronized List<String> jdkPackages() {
        return jdkPackages == null ? Collections.<String>emptyList() : jdkPackages;
    }

    private static void addPublicClasses(JavaFileManager files, JavaFileManager.Location location,
            String packageName, List<Entry> classes) throws IOException {
        for (JavaFileObject file : files.list(location, packageName,
                EnumSet.of(JavaFileObject.Kind.CLASS), false)) {
            String binaryName = files.inferBinaryName(location, file);
            if (binaryName == null) {
                continue;
            }
            String simpleName = binaryName.substring(binaryName.lastIndexOf('.') + 1);
            if (simpleName.indexOf('$') >= 0 || simpleName.indexOf('-') >= 0) {
                continue; // nested, anonymous, package-info, module-info
            }
            int flags;
            try (InputStream in = file.openInputStream()) {
                flags = accessFlags(new DataInputStream(in));
            } catch (IOException unreadable) {
                continue;
            }
            if ((flags & ACC_PUBLIC) != 0) {
                classes.add(new Entry(packageName, simpleName, kindOf(flags)));
            }
        }
    }

    static String kindOf(int flags) {
        if ((flags & ACC_ANNOTATION) != 0) {
            return "annotation";
        }
        if ((flags & ACC_INTERFACE) != 0) {
            return "interface";
        }
        return (flags & ACC_ENUM) != 0 ? "enum" : "class";
    }

    /** The access flags of a class file: past its header and its constant pool; -1 if broken. */
    static int accessFlags(DataInputStream in) throws IOException {
        if (in.readInt() != 0xCAFEBABE) {
            return -1;
        }
        in.readUnsignedShort(); // minor version
        in.readUnsignedShort(); // major version
        int count = in.readUnsignedShort();
        for (int index = 1; index < count; ++index) {
            int tag = in.readUnsignedByte();
            switch (tag) {
            case 1: // Utf8
                in.skipBytes(in.readUnsignedShort());
                break;
            case 3: case 4: // Integer, Float
            case 9: case 10: case 11: case 12: // field, method, interface method refs, NameAndType
            case 17: case 18: // Dynamic, InvokeDynamic
                in.skipBytes(4);
                break;
            case 5: case 6: // Long, Double: two entries
                in.skipBytes(8);
                ++index;
                break;
            case 7: case 8: case 16: case 19: case 20: // Class, String, MethodType, Module, Package
                in.skipBytes(2);
                break;
            case 15: // MethodHandle
                in.skipBytes(3);
                break;
            default:
                return -1;
            }
        }
        return in.readUnsignedShort();
    }

    /**
     * The classes of the source path's folders: one for each source file, named after it, in
     * the package its folder names. Files in folders that cannot be a package, or hidden, are
     * left out, and a source path that is someone's whole home is not read past MOST_VISITED
     * files and folders. What was found serves the requests of the next few seconds, which
     * come as fast as the user types.
     */
    static synchronized List<Entry> sourceClasses(String sourcePath) {
        long now = System.nanoTime() / 1000000;
        if (sourcePath.equals(lastSourcePath)
                && now - lastSourceClassesFound < SOURCE_CLASSES_KEPT_MS) {
            return lastSourceClasses;
        }
        lastSourcePath = sourcePath;
        lastSourceClasses = Collections.unmodifiableList(findSourceClasses(sourcePath));
        lastSourceClassesFound = now;
        return lastSourceClasses;
    }

    private static List<Entry> findSourceClasses(String sourcePath) {
        final List<Entry> classes = new ArrayList<>();
        final int[] visited = {0};
        for (String root : sourcePath.split(java.io.File.pathSeparator)) {
            final Path rootPath = Paths.get(root.isEmpty() ? "." : root);
            if (root.isEmpty() || !Files.isDirectory(rootPath)) {
                continue;
            }
            try {
                Files.walkFileTree(rootPath, EnumSet.noneOf(FileVisitOption.class),
                        MOST_SOURCE_DEPTH, new SimpleFileVisitor<Path>() {
                            @Override
                            public FileVisitResult preVisitDirectory(Path folder,
                                    BasicFileAttributes attributes) {
                                if (++visited[0] > MOST_VISITED) {
                                    return FileVisitResult.TERMINATE;
                                }
                                return folder.equals(rootPath)
                                        || isIdentifier(String.valueOf(folder.getFileName()))
                                        ? FileVisitResult.CONTINUE
                                        : FileVisitResult.SKIP_SUBTREE;
                            }

                            @Override
                            public FileVisitResult visitFile(Path file,
                                    BasicFileAttributes attributes) {
                                if (++visited[0] > MOST_VISITED) {
                                    return FileVisitResult.TERMINATE;
                                }
                                String name = String.valueOf(file.getFileName());
                                if (name.endsWith(".java") && attributes.isRegularFile()) {
                                    String simpleName =
                                            name.substring(0, name.length() - ".java".length());
                                    String packageName =
                                            packageOf(rootPath.relativize(file).getParent());
                                    if (packageName != null && isIdentifier(simpleName)) {
                                        classes.add(new Entry(packageName, simpleName, "class"));
                                    }
                                }
                                return FileVisitResult.CONTINUE;
                            }

                            @Override
                            public FileVisitResult visitFileFailed(Path file, IOException failed) {
                                return FileVisitResult.CONTINUE;
                            }
                        });
            } catch (IOException unreadable) {
                // what was found so far serves
            }
        }
        return classes;
    }

    private static String packageOf(Path folder) {
        if (folder == null) {
            return "";
        }
        StringBuilder name = new StringBuilder();
        for (Path part : folder) {
            if (!isIdentifier(part.toString())) {
                return null;
            }
            if (name.length() > 0) {
                name.append('.');
            }
            name.append(part);
        }
        return name.toString();
    }

    static boolean isIdentifier(String text) {
        if (text.isEmpty() || !Character.isJavaIdentifierStart(text.charAt(0))) {
            return false;
        }
        for (int index = 1; index < text.length(); ++index) {
            if (!Character.isJavaIdentifierPart(text.charAt(index))) {
                return false;
            }
        }
        return true;
    }
}
