package tarvo.service;

import java.io.BufferedInputStream;
import java.io.BufferedOutputStream;
import java.io.DataInputStream;
import java.io.IOException;
import java.util.LinkedHashMap;
import java.util.Map;

/**
 * Tarvo's resident Java service: a JVM that stays warm so that builds and checks run without
 * starting one each time. It speaks the protocol of FrameCodec on its standard input and output,
 * says "ready" once, serves requests until its input ends (Tarvo ended, or let it go after a
 * while idle), and then ends.
 */
public final class ServiceMain {
    private ServiceMain() {}

    public static void main(String[] args) throws IOException {
        DataInputStream in = new DataInputStream(new BufferedInputStream(Console.protocolInput()));
        Channel channel = new Channel(new BufferedOutputStream(Console.protocolOutput()));
        Console.replaceStandardStreams();

        Dispatcher dispatcher = new Dispatcher(channel);
        dispatcher.register(Kinds.RUN_TOOL, new ToolRunHandler());
        boolean checks = hasCompilerApi();
        if (checks) {
            dispatcher.register(Kinds.CHECK, new CheckHandler());
            dispatcher.registerQuick(Kinds.COMPLETE, new CompleteHandler());
        }
        Map<String, Object> ready = new LinkedHashMap<>();
        ready.put("java", System.getProperty("java.version"));
        ready.put("tools", ToolRunHandler.available());
        ready.put("checks", checks ? 1L : 0L);
        channel.event(Kinds.READY, ready);

        Thread worker = new Thread(dispatcher::serve, "requests");
        worker.setDaemon(true);
        worker.start();
        try {
            for (Map<String, Object> record; (record = FrameCodec.read(in)) != null;) {
                dispatcher.dispatch(Message.fromRecord(record));
            }
        } catch (IOException broken) {
            System.err.println("tarvo service: " + broken.getMessage());
        }
        // Nobody is left to answer: whatever runs is of no use any more.
        Runtime.getRuntime().halt(0);
    }

    /** Whether javax.tools and a system compiler are there: a JDK, not a runtime alone. */
    private static boolean hasCompilerApi() {
        try {
            return javax.tools.ToolProvider.getSystemJavaCompiler() != null;
        } catch (LinkageError missing) {
            return false;
        }
    }
}
