package tarvo.service;

import java.io.PrintWriter;
import java.io.Writer;
import java.lang.reflect.InvocationTargetException;
import java.lang.reflect.Method;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.Collections;
import java.util.HashSet;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Locale;
import java.util.Map;
import java.util.Set;
import javax.tools.Diagnostic;
import javax.tools.DiagnosticCollector;
import javax.tools.JavaCompiler;
import javax.tools.JavaFileObject;
import javax.tools.StandardJavaFileManager;
import com.sun.source.util.JavacTask;
import com.sun.source.util.TaskEvent;
import com.sun.source.util.TaskListener;

/**
 * check: compiles one source text against its project in memory and reports its errors and
 * warnings. "path" is the file the text is of, "text" the text; "overlays" gives the unsaved
 * texts of other files ("path", "text") to read in place of theirs; "sourcepath" is where the
 * other sources of the project are found, unless the user's "options" name a source path of
 * their own. Nothing is written: the compiler stops after its checks. "diagnostics" lists the
 * messages about the text: "kind" (error or warning), "line", "column", "start", "end" and
 * "position" (character offsets into the text, -1 when unknown) and "message".
 */
final class CheckHandler implements Handler {
    /** Options of the command line that mean nothing to a check, with whether a value follows. */
    private static final Set<String> DROPPED_WITH_VALUE = new HashSet<>(Arrays.asList("-d", "-s",
            "-h", "-processor", "-processorpath", "--processor-path", "--processor-module-path"));

    private static final class Cancelled extends RuntimeException {
        private static final long serialVersionUID = 1L;
    }

    @Override
    public void handle(Message request, Reply reply) throws Exception {
        JavaCompiler compiler = javax.tools.ToolProvider.getSystemJavaCompiler();
        DiagnosticCollector<JavaFileObject> collected = new DiagnosticCollector<>();
        StandardJavaFileManager standard = compiler.getStandardFileManager(collected, null, null);
        try (SourceOverlay files = new SourceOverlay(standard)) {
            String path = request.string("path");
            files.put(path, request.string("text"));
            for (Object overlay : request.list("overlays")) {
                if (overlay instanceof Map) {
                    Map<?, ?> file = (Map<?, ?>) overlay;
                    files.put(String.valueOf(file.get("path")), String.valueOf(file.get("text")));
                }
            }
            List<String> options = checkOptions(request.strings("options"),
                    request.string("sourcepath"));
            JavacTask task = (JavacTask) compiler.getTask(new PrintWriter(Writer.nullWriter()),
                    files, collected, options, null,
                    Collections.singletonList(files.source(path)));
            task.addTaskListener(new TaskListener() {
                @Override
                public void started(TaskEvent event) {
                    stopIfCancelled(reply);
                }

                @Override
                public void finished(TaskEvent event) {
                    stopIfCancelled(reply);
                }
            });
            try {
                analyzeTheTextAlone(task);
            } catch (RuntimeException stopped) {
                if (!reply.isCancelled()) {
                    throw stopped;
                }
            }
            if (reply.isCancelled()) {
                reply.last(Kinds.CANCELLED, Channel.noFields());
                return;
            }
            Map<String, Object> fields = new LinkedHashMap<>();
            fields.put("items", items(collected.getDiagnostics(), Paths.get(path)));
            reply.last(Kinds.DIAGNOSTICS, fields);
        }
    }

    /**
     * Attributes the checked text's classes alone: the other sources it uses are read only as
     * far as their declarations, which is what makes a check of one file in a large project
     * quick. That needs the compiler's own task class, which the service is started with access
     * to; without it every class read is analysed.
     */
    static void analyzeTheTextAlone(JavacTask task) throws java.io.IOException {
        Iterable<?> classes;
        Method analyze;
        try {
            classes = (Iterable<?>) task.getClass().getMethod("enter").invoke(task);
            analyze = task.getClass().getMethod("analyze", Iterable.class);
        } catch (InvocationTargetException failed) {
            throw unwrapped(failed);
        } catch (ReflectiveOperationException | RuntimeException noAccess) {
            task.analyze();
            return;
        }
        try {
            analyze.invoke(task, classes);
        } catch (InvocationTargetException failed) {
            throw unwrapped(failed);
        } catch (IllegalAccessException noAccess) {
            task.analyze();
        }
    }

    private static RuntimeException unwrapped(InvocationTargetException failed) {
        Throwable cause = failed.getCause();
        if (cause instanceof RuntimeException) {
            return (RuntimeException) cause;
        }
        if (cause instanceof Error) {
            throw (Error) cause;
        }
        return new IllegalStateException(cause);
    }

    private static void stopIfCancelled(Reply reply) {
        if (reply.isCancelled()) {
            throw new Cancelled();
        }
    }

    /** The user's options without those that write files or run processors, then the check's. */
    static List<String> checkOptions(List<String> userOptions, String sourcePath) {
        List<String> options = new ArrayList<>();
        boolean ownSourcePath = false;
        for (int index = 0; index < userOptions.size(); ++index) {
            String option = userOptions.get(index);
            if (DROPPED_WITH_VALUE.contains(option)) {
                ++index;
                continue;
            }
            if (option.startsWith("-J") || option.startsWith("-proc:")
                    || option.startsWith("-implicit:")) {
                continue;
            }
            ownSourcePath |= option.equals("-sourcepath") || option.equals("--source-path")
                    || option.startsWith("--source-path=");
            options.add(option);
        }
        if (!ownSourcePath && !sourcePath.isEmpty()) {
            options.add("-sourcepath");
            options.add(sourcePath);
        }
        options.add("-proc:none");
        options.add("-implicit:none");
        return options;
    }

    private static List<Object> items(List<Diagnostic<? extends JavaFileObject>> diagnostics,
            Path path) {
        List<Object> items = new ArrayList<>();
        for (Diagnostic<? extends JavaFileObject> diagnostic : diagnostics) {
            String kind = kindOf(diagnostic.getKind());
            if (kind == null || !SourceOverlay.isFile(diagnostic.getSource(), path)) {
                continue;
            }
            Map<String, Object> item = new LinkedHashMap<>();
            item.put("kind", kind);
            item.put("line", diagnostic.getLineNumber());
            item.put("column", diagnostic.getColumnNumber());
            item.put("start", diagnostic.getStartPosition());
            item.put("end", diagnostic.getEndPosition());
            item.put("position", diagnostic.getPosition());
            item.put("message", diagnostic.getMessage(Locale.getDefault()));
            items.add(item);
        }
        return items;
    }

    private static String kindOf(Diagnostic.Kind kind) {
        switch (kind) {
        case ERROR:
            return "error";
        case WARNING:
        case MANDATORY_WARNING:
            return "warning";
        default:
            return null;
        }
    }
}
