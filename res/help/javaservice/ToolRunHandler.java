package tarvo.service;

import java.io.PrintStream;
import java.io.PrintWriter;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;
import java.util.Optional;
import java.util.spi.ToolProvider;

/**
 * run-tool: runs a JDK tool (javac, jar) inside the service with the arguments given, in the
 * service's own folder. What the tool prints, on its output and its error stream alike, goes
 * back as "output" in the order printed and in the charset the tool would print in as a program
 * of its own; "done" gives the exit status that program would have had.
 */
final class ToolRunHandler implements Handler {
    @Override
    public void handle(Message request, Reply reply) {
        Optional<ToolProvider> tool = ToolProvider.findFirst(request.string("tool"));
        if (!tool.isPresent()) {
            reply.error("no tool " + request.string("tool"));
            return;
        }
        List<String> arguments = request.strings("args");
        OutputFrames output = new OutputFrames(reply);
        PrintStream stream = new PrintStream(output, true, Console.charset());
        // As the tool's own main builds its writers over System.out and System.err.
        PrintWriter writer = new PrintWriter(stream, true);
        int exit;
        Console.route(stream);
        try {
            exit = tool.get().run(writer, writer, arguments.toArray(new String[0]));
        } finally {
            Console.unroute();
            writer.flush();
            stream.flush();
            output.close();
        }
        if (isCompilerFailure(request.string("tool"), exit)) {
            // javac ran out of memory or broke down: the service's heap or state is no match
            // for the program's, which Tarvo runs instead.
            reply.error("javac ended with status " + exit + " inside the service");
            return;
        }
        Map<String, Object> fields = new LinkedHashMap<>();
        fields.put("exit", (long) exit);
        reply.last(Kinds.DONE, fields);
    }

    /** javac's statuses for a system error (out of memory among them) and an abnormal end. */
    private static boolean isCompilerFailure(String tool, int exit) {
        return tool.equals("javac") && (exit == 3 || exit == 4);
    }

    /** The tools this JVM can run. */
    static List<String> available() {
        List<String> names = new java.util.ArrayList<>();
        for (String name : new String[] {"javac", "jar"}) {
            if (ToolProvider.findFirst(name).isPresent()) {
                names.add(name);
            }
        }
        return names;
    }
}
