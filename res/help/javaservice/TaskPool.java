package tarvo.service;

import com.sun.source.tree.Tree;
import com.sun.source.util.JavacTask;
import com.sun.source.util.TaskEvent;
import com.sun.source.util.TaskListener;
import java.io.Writer;
import java.lang.reflect.Field;
import java.lang.reflect.InvocationHandler;
import java.lang.reflect.InvocationTargetException;
import java.lang.reflect.Method;
import java.lang.reflect.Proxy;
import java.util.Collections;
import java.util.HashSet;
import java.util.List;
import java.util.Set;
import javax.lang.model.element.PackageElement;
import javax.tools.DiagnosticListener;
import javax.tools.JavaCompiler;
import javax.tools.JavaFileManager;
import javax.tools.JavaFileObject;

/**
 * Compiler tasks that keep what they read of the JDK's classes for the next task with the same
 * options, through the compiler's own pool of reusable contexts (where the JDK has one and the
 * service may reach it): a task then attributes one source without reading String, List or
 * Object again. Where it is missing, each task starts from nothing. A context forgets the
 * classes its sources declared when its task is over, but would keep the listing of their
 * packages, whose classes would then be the old ones: the packages of the sources a task read
 * are made to be listed again, and where that cannot be done no context is kept at all.
 */
final class TaskPool {
    /** What is done with a task, while it is valid. */
    interface Work<T> {
        T run(JavacTask task) throws Exception;
    }

    private static final int CONTEXTS = 2;

    private Object pool;
    private Method getTask;
    private Class<?> workerType;
    /** Whether a task's source packages can be made to be listed again. */
    private boolean canForgetPackages = true;

    TaskPool() {
        renew();
    }

    /** Lets every kept context go. */
    void renew() {
        try {
            Class<?> poolType = Class.forName("com.sun.tools.javac.api.JavacTaskPool");
            workerType = Class.forName("com.sun.tools.javac.api.JavacTaskPool$Worker");
            getTask = poolType.getMethod("getTask", Writer.class, JavaFileManager.class,
                    DiagnosticListener.class, Iterable.class, Iterable.class, Iterable.class,
                    workerType);
            pool = poolType.getConstructor(int.class).newInstance(CONTEXTS);
        } catch (ReflectiveOperationException | RuntimeException | LinkageError missing) {
            pool = null;
        }
    }

    <T> T run(JavaCompiler compiler, JavaFileManager files,
            DiagnosticListener<JavaFileObject> listener, List<String> options,
            JavaFileObject source, Work<T> work) throws Exception {
        Writer quiet = Writer.nullWriter();
        List<JavaFileObject> sources = Collections.singletonList(source);
        if (pool == null) {
            return work.run((JavacTask) compiler.getTask(quiet, files, listener, options, null,
                    sources));
        }
        if (!canForgetPackages) {
            renew();
        }
        final Object[] result = {null};
        final Exception[] failure = {null};
        InvocationHandler handler = (proxy, method, arguments) -> {
            switch (method.getName()) {
            case "withTask":
                JavacTask task = (JavacTask) arguments[0];
                Set<String> sourcePackages = new HashSet<>();
                task.addTaskListener(new TaskListener() {
                    @Override
                    public void finished(TaskEvent event) {
                        if (event.getKind() == TaskEvent.Kind.PARSE
                                && event.getCompilationUnit() != null) {
                            Tree name = event.getCompilationUnit().getPackageName();
                            sourcePackages.add(name == null ? "" : name.toString());
                        }
                    }
                });
                try {
                    result[0] = work.run(task);
                } catch (Exception failed) {
                    failure[0] = failed;
                } finally {
                    forgetPackages(task, sourcePackages);
                }
                return null;
            case "hashCode":
                return System.identityHashCode(proxy);
            case "equals":
                return proxy == arguments[0];
            default:
                return "worker";
            }
        };
        Object worker = Proxy.newProxyInstance(TaskPool.class.getClassLoader(),
                new Class<?>[] {workerType}, handler);
        try {
            getTask.invoke(pool, quiet, files, listener, options, null, sources, worker);
        } catch (InvocationTargetException thrown) {
            Throwable cause = thrown.getCause();
            if (cause instanceof Error) {
                throw (Error) cause;
            }
            throw cause instanceof Exception ? (Exception) cause : thrown;
        }
        if (failure[0] != null) {
            throw failure[0];
        }
        @SuppressWarnings("unchecked")
        T done = (T) result[0];
        return done;
    }

    /** Makes the packages be listed afresh by the context's next task. */
    private void forgetPackages(JavacTask task, Set<String> packageNames) {
        try {
            Object context = task.getClass().getMethod("getContext").invoke(task);
            Class<?> finderType = Class.forName("com.sun.tools.javac.code.ClassFinder");
            Object finder = finderType
                    .getMethod("instance", Class.forName("com.sun.tools.javac.util.Context"))
                    .invoke(null, context);
            Object fill = finderType.getMethod("getCompleter").invoke(finder);
            Field completer = Class.forName("com.sun.tools.javac.code.Symbol")
                    .getField("completer");
            for (String name : packageNames) {
                PackageElement element = task.getElements().getPackageElement(name);
                if (element != null) {
                    element.getClass().getField("members_field").set(element, null);
                    completer.set(element, fill);
                }
            }
        } catch (ReflectiveOperationException | RuntimeException | LinkageError refused) {
            canForgetPackages = false;
        }
    }
}
