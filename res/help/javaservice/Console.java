package tarvo.service;

import java.io.ByteArrayInputStream;
import java.io.FileDescriptor;
import java.io.FileInputStream;
import java.io.FileOutputStream;
import java.io.InputStream;
import java.io.OutputStream;
import java.io.PrintStream;
import java.nio.charset.Charset;

/**
 * The service's standard streams. Standard input and output carry the protocol, so they are
 * taken for it before anything else runs, and System.in, System.out and System.err are replaced:
 * code run inside the service (a tool, an annotation processor) reads an empty input, as a tool
 * started by Tarvo does, and what it prints goes to the output of the run in progress, or to the
 * service's own error stream between runs, never into the protocol.
 */
final class Console {
    private static final Routed ROUTED = new Routed(new FileOutputStream(FileDescriptor.err));
    private static Charset charset = Charset.defaultCharset();

    private Console() {}

    /** The protocol's input: the service's real standard input. */
    static InputStream protocolInput() {
        return new FileInputStream(FileDescriptor.in);
    }

    /** The protocol's output: the service's real standard output. */
    static OutputStream protocolOutput() {
        return new FileOutputStream(FileDescriptor.out);
    }

    /** Replaces the standard streams; call once the protocol's streams are taken. */
    static void replaceStandardStreams() {
        charset = charsetOf(System.err);
        System.setIn(new ByteArrayInputStream(new byte[0]));
        System.setOut(new PrintStream(ROUTED, true, charset));
        System.setErr(new PrintStream(ROUTED, true, charset));
    }

    /**
     * The charset a tool started as a program of its own would print in: that of its standard
     * error, which the service, started from the same environment, has too.
     */
    static Charset charset() {
        return charset;
    }

    /** Sends what System.out and System.err print to target until unroute(). */
    static void route(OutputStream target) {
        ROUTED.target = target;
    }

    static void unroute() {
        ROUTED.target = null;
    }

    private static Charset charsetOf(PrintStream stream) {
        try {
            // PrintStream.charset() came with Java 18; before it the default charset was used.
            return (Charset) PrintStream.class.getMethod("charset").invoke(stream);
        } catch (ReflectiveOperationException older) {
            return Charset.defaultCharset();
        }
    }

    private static final class Routed extends OutputStream {
        private final OutputStream between;
        volatile OutputStream target;

        Routed(OutputStream between) {
            this.between = between;
        }

        private OutputStream current() {
            OutputStream routed = target;
            return routed != null ? routed : between;
        }

        @Override
        public void write(int b) throws java.io.IOException {
            current().write(b);
        }

        @Override
        public void write(byte[] bytes, int offset, int length) throws java.io.IOException {
            current().write(bytes, offset, length);
        }

        @Override
        public void flush() throws java.io.IOException {
            current().flush();
        }
    }
}
