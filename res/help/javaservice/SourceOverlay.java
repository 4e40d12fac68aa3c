package tarvo.service;

import java.io.IOException;
import java.net.URI;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.ArrayList;
import java.util.HashMap;
import java.util.List;
import java.util.Map;
import java.util.Set;
import javax.tools.FileObject;
import javax.tools.ForwardingJavaFileManager;
import javax.tools.JavaFileManager;
import javax.tools.JavaFileObject;
import javax.tools.StandardJavaFileManager;

/**
 * The file manager of a check: the standard one, but the sources of open windows are read from
 * their unsaved texts instead of their files.
 */
final class SourceOverlay extends ForwardingJavaFileManager<StandardJavaFileManager> {
    private final Map<URI, String> texts = new HashMap<>();
    private final Map<URI, MemorySource> sources = new HashMap<>();

    SourceOverlay(StandardJavaFileManager standard) {
        super(standard);
    }

    static URI uriOf(String path) {
        return Paths.get(path).toAbsolutePath().normalize().toUri();
    }

    /** Forgets the texts given: the file manager serves the next task with other ones. */
    void clear() {
        texts.clear();
        sources.clear();
    }

    /** The text to read in place of the file at path. */
    void put(String path, String text) {
        texts.put(uriOf(path), text);
    }

    /** The source object of path: its unsaved text when it has one. */
    MemorySource source(String path) {
        URI uri = uriOf(path);
        return sources.computeIfAbsent(uri, key -> new MemorySource(key, texts.get(key), null));
    }

    private JavaFileObject replaced(JavaFileObject file) {
        if (file.getKind() != JavaFileObject.Kind.SOURCE) {
            return file;
        }
        URI uri = file.toUri().normalize();
        String text = texts.get(uri);
        if (text == null) {
            return file;
        }
        // One object for each file: the text checked and the file listed are the same source.
        MemorySource source = sources.computeIfAbsent(uri, key -> new MemorySource(key, text, file));
        if (source.onDisk == null) {
            source.onDisk = file;
        }
        return source;
    }

    @Override
    public Iterable<JavaFileObject> list(Location location, String packageName,
            Set<JavaFileObject.Kind> kinds, boolean recurse) throws IOException {
        List<JavaFileObject> listed = new ArrayList<>();
        for (JavaFileObject file : super.list(location, packageName, kinds, recurse)) {
            listed.add(replaced(file));
        }
        return listed;
    }

    @Override
    public String inferBinaryName(Location location, JavaFileObject file) {
        if (file instanceof MemorySource) {
            JavaFileObject onDisk = ((MemorySource) file).onDisk;
            return onDisk == null ? null : super.inferBinaryName(location, onDisk);
        }
        return super.inferBinaryName(location, file);
    }

    @Override
    public boolean isSameFile(FileObject a, FileObject b) {
        if (a instanceof MemorySource || b instanceof MemorySource) {
            return a.toUri().normalize().equals(b.toUri().normalize());
        }
        return super.isSameFile(a, b);
    }

    /** Whether the file object is the file at path. */
    static boolean isFile(JavaFileObject file, Path path) {
        return file != null && file.toUri().normalize().equals(path.toUri().normalize());
    }
}
