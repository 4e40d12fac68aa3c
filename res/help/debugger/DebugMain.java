package tarvo.service;

import com.sun.jdi.Bootstrap;
import com.sun.jdi.connect.Connector;
import com.sun.jdi.connect.ListeningConnector;
import java.io.BufferedInputStream;
import java.io.BufferedOutputStream;
import java.io.DataInputStream;
import java.io.IOException;
import java.util.LinkedHashMap;
import java.util.Map;

/**
 * Tarvo's debugger: one JVM for one debug session. It listens on a port of the loopback address
 * for the program to connect to (the program is started with the JDWP agent as a client, so
 * nothing but this debugger can attach to it), says "ready" with that port, and then serves the
 * requests of the framed protocol on its standard input and output until the program has ended.
 * When Tarvo goes away (the input ends) the program is ended with it.
 */
public final class DebugMain {
    private DebugMain() {}

    public static void main(String[] args) throws Exception {
        DataInputStream in = new DataInputStream(new BufferedInputStream(Console.protocolInput()));
        Channel channel = new Channel(new BufferedOutputStream(Console.protocolOutput()));
        Console.replaceStandardStreams();

        ListeningConnector connector = socketListener();
        Map<String, Connector.Argument> arguments = connector.defaultArguments();
        arguments.get("port").setValue("0");
        Connector.Argument local = arguments.get("localAddress");
        if (local != null) {
            local.setValue("127.0.0.1");
        }
        String address = connector.startListening(arguments);
        long port = Long.parseLong(address.substring(address.lastIndexOf(':') + 1));

        Debugger debugger = new Debugger(channel, connector, arguments);
        Map<String, Object> ready = new LinkedHashMap<>();
        ready.put("java", System.getProperty("java.version"));
        ready.put("port", port);
        channel.event(Kinds.READY, ready);
        try {
            for (Map<String, Object> record; (record = FrameCodec.read(in)) != null;) {
                debugger.dispatch(Message.fromRecord(record));
            }
        } catch (IOException broken) {
            System.err.println("tarvo debugger: " + broken.getMessage());
        }
        debugger.endProgram(1);
        Runtime.getRuntime().halt(0);
    }

    private static ListeningConnector socketListener() throws IOException {
        for (ListeningConnector connector :
                Bootstrap.virtualMachineManager().listeningConnectors()) {
            if (connector.name().equals("com.sun.jdi.SocketListen")) {
                return connector;
            }
        }
        throw new IOException("the JDK has no socket connector for debugging");
    }
}
