package tarvo.service;

import java.net.URI;
import javax.tools.JavaFileObject;
import javax.tools.SimpleJavaFileObject;

/**
 * The text of a source window that may not be saved: it stands in for the file of the same path,
 * which the file manager would otherwise read from disk.
 */
final class MemorySource extends SimpleJavaFileObject {
    private final String text;
    /** The file on disk it stands for, once the file manager has listed it. */
    JavaFileObject onDisk;

    MemorySource(URI uri, String text, JavaFileObject onDisk) {
        super(uri, Kind.SOURCE);
        this.text = text;
        this.onDisk = onDisk;
    }

    @Override
    public CharSequence getCharContent(boolean ignoreEncodingErrors) {
        return text;
    }
}
