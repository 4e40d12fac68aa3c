package tarvo.service;

import com.sun.jdi.AbsentInformationException;
import com.sun.jdi.ClassType;
import com.sun.jdi.IncompatibleThreadStateException;
import com.sun.jdi.Location;
import com.sun.jdi.Method;
import com.sun.jdi.ObjectReference;
import com.sun.jdi.ReferenceType;
import com.sun.jdi.StackFrame;
import com.sun.jdi.StringReference;
import com.sun.jdi.ThreadReference;
import com.sun.jdi.VMDisconnectedException;
import com.sun.jdi.Value;
import com.sun.jdi.VirtualMachine;
import com.sun.jdi.connect.Connector;
import com.sun.jdi.connect.ListeningConnector;
import com.sun.jdi.event.BreakpointEvent;
import com.sun.jdi.event.ClassPrepareEvent;
import com.sun.jdi.event.Event;
import com.sun.jdi.event.EventSet;
import com.sun.jdi.event.ExceptionEvent;
import com.sun.jdi.event.LocatableEvent;
import com.sun.jdi.event.StepEvent;
import com.sun.jdi.request.EventRequest;
import com.sun.jdi.request.EventRequestManager;
import com.sun.jdi.request.ExceptionRequest;
import com.sun.jdi.request.StepRequest;
import java.util.ArrayList;
import java.util.Collections;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;

/**
 * One debug session: waits for the program to connect, puts the breakpoints in, reports where
 * the program stops (a breakpoint, the end of a step, an uncaught exception in the program's own
 * code) and serves the user's requests while it is stopped. Requests are answered on the
 * reading thread; the program's events are served on a thread of their own. The session, and
 * with it this JVM, ends when the program has ended.
 */
final class Debugger {
    /** Classes of the Java platform: steps do not enter them, stops are shown in the caller. */
    private static final String[] LIBRARY = {"java.", "javax.", "jdk.", "sun.", "com.sun."};

    private final Channel channel;
    private final ListeningConnector connector;
    private final Map<String, Connector.Argument> arguments;
    private final Breakpoints breakpoints = new Breakpoints();
    private final Values values = new Values();
    private Reply session;
    private VirtualMachine vm;
    /** The thread the program stopped in, while it is stopped. */
    private ThreadReference stopped;
    private boolean ending;

    Debugger(Channel channel, ListeningConnector connector,
            Map<String, Connector.Argument> arguments) {
        this.channel = channel;
        this.connector = connector;
        this.arguments = arguments;
    }

    void dispatch(Message request) {
        Reply reply = new Reply(channel, request.id);
        try {
            switch (request.kind) {
            case DebugKinds.DEBUG:
                start(request, reply);
                break;
            case DebugKinds.BREAKPOINT:
                breakpoints.want(request.string("path"), (int) request.number("line"),
                        request.number("set") != 0);
                reply.last(Kinds.DONE, Channel.noFields());
                break;
            case DebugKinds.RESUME:
                goOn(reply, null);
                break;
            case DebugKinds.STEP:
                goOn(reply, request.string("depth"));
                break;
            case DebugKinds.VARIABLES:
                variables(request, reply);
                break;
            case DebugKinds.STOP:
                reply.last(Kinds.DONE, Channel.noFields());
                endProgram((int) request.number("exit"));
                break;
            case Kinds.CANCEL:
                break;
            default:
                reply.error("unknown request kind " + request.kind);
            }
        } catch (VMDisconnectedException gone) {
            reply.error("the program has ended");
        } catch (Exception failure) {
            reply.error(failure.toString());
        }
    }

    /** Ends the program, or the session when no program has connected yet. */
    void endProgram(int exitCode) {
        VirtualMachine connected;
        synchronized (this) {
            ending = true;
            connected = vm;
        }
        if (connected == null) {
            if (session != null) {
                session.last(DebugKinds.ENDED, Channel.noFields());
            }
            Runtime.getRuntime().halt(0);
        }
        try {
            connected.exit(exitCode);
        } catch (RuntimeException alreadyGone) {
            // The program ended meanwhile.
        }
    }

    private synchronized void start(Message request, Reply reply) {
        if (session != null) {
            reply.error("the session has begun already");
            return;
        }
        session = reply;
        for (Object value : request.list("breakpoints")) {
            if (value instanceof Map) {
                Map<?, ?> breakpoint = (Map<?, ?>) value;
                Object path = breakpoint.get("path");
                Object line = breakpoint.get("line");
                if (path instanceof String && line instanceof Long) {
                    breakpoints.want((String) path, ((Long) line).intValue(), true);
                }
            }
        }
        long timeout = Math.max(0, request.number("timeout"));
        Thread events = new Thread(() -> run(timeout), "debug session");
        events.setDaemon(true);
        events.start();
    }

    private void run(long timeout) {
        VirtualMachine connected;
        try {
            arguments.get("timeout").setValue(Long.toString(timeout));
            connected = connector.accept(arguments);
            connector.stopListening(arguments);
        } catch (Exception failure) {
            session.error("the program did not connect to the debugger: " + failure.getMessage());
            Runtime.getRuntime().halt(0);
            return;
        }
        boolean endAtOnce;
        synchronized (this) {
            vm = connected;
            endAtOnce = ending;
        }
        if (endAtOnce) {
            endProgram(1);
        }
        try {
            EventRequestManager manager = connected.eventRequestManager();
            ExceptionRequest uncaught = manager.createExceptionRequest(null, false, true);
            uncaught.setSuspendPolicy(EventRequest.SUSPEND_ALL);
            uncaught.enable();
            breakpoints.attach(connected);
            session.partial(DebugKinds.ATTACHED, Channel.noFields());
            serveEvents(connected);
        } catch (VMDisconnectedException ended) {
            // The program has ended.
        } catch (InterruptedException interrupted) {
            // Nothing interrupts the session's thread.
        }
        session.last(DebugKinds.ENDED, Channel.noFields());
        Runtime.getRuntime().halt(0);
    }

    private void serveEvents(VirtualMachine connected) throws InterruptedException {
        for (;;) {
            EventSet events = connected.eventQueue().remove();
            LocatableEvent stop = null;
            String reason = null;
            for (Event event : events) {
                if (event instanceof ClassPrepareEvent) {
                    breakpoints.prepared(((ClassPrepareEvent) event).referenceType());
                } else if (event instanceof BreakpointEvent) {
                    stop = (LocatableEvent) event;
                    reason = "breakpoint";
                } else if (event instanceof StepEvent && stop == null) {
                    stop = (LocatableEvent) event;
                    reason = "step";
                } else if (event instanceof ExceptionEvent
                        && inOwnCode(((ExceptionEvent) event).thread())) {
                    stop = (LocatableEvent) event;
                    reason = "exception";
                }
            }
            if (stop == null) {
                events.resume();
            } else {
                report(stop, reason);
            }
        }
    }

    private synchronized void report(LocatableEvent event, String reason) {
        EventRequestManager manager = vm.eventRequestManager();
        manager.deleteEventRequests(new ArrayList<>(manager.stepRequests()));
        ThreadReference thread = event.thread();
        Map<String, Object> fields = new LinkedHashMap<>();
        fields.put("reason", reason);
        fields.put("exception", event instanceof ExceptionEvent
                ? describe(((ExceptionEvent) event).exception(), thread) : "");
        fields.put("thread", thread.name());
        List<Object> frames = new ArrayList<>();
        long shown = -1;
        try {
            for (StackFrame frame : thread.frames()) {
                Map<String, Object> record = frameRecord(frame.location());
                if (shown < 0 && (Long) record.get("library") == 0) {
                    shown = frames.size();
                }
                frames.add(record);
            }
        } catch (IncompatibleThreadStateException notSuspended) {
            // A thread stopped by an event is suspended.
        }
        fields.put("frames", frames);
        fields.put("frame", Math.max(shown, 0));
        stopped = thread;
        values.clear();
        session.partial(DebugKinds.STOPPED, fields);
    }

    private static Map<String, Object> frameRecord(Location location) {
        Map<String, Object> record = new LinkedHashMap<>();
        String type = location.declaringType().name();
        record.put("class", type);
        record.put("method", location.method().name());
        String path = "";
        String source = "";
        try {
            path = Breakpoints.normalPath(location.sourcePath());
            source = location.sourceName();
        } catch (AbsentInformationException noSource) {
            // Shown by class and method alone.
        }
        record.put("path", path);
        record.put("source", source);
        record.put("line", (long) location.lineNumber());
        record.put("library", isLibrary(type) ? 1L : 0L);
        return record;
    }

    private static boolean isLibrary(String className) {
        for (String prefix : LIBRARY) {
            if (className.startsWith(prefix)) {
                return true;
            }
        }
        return false;
    }

    /**
     * Whether the thread runs code of the program's own: an exception thrown and caught inside
     * the platform (class loading reports some as uncaught) is none of the user's business.
     */
    private static boolean inOwnCode(ThreadReference thread) {
        try {
            for (StackFrame frame : thread.frames()) {
                if (!isLibrary(frame.location().declaringType().name())) {
                    return true;
                }
            }
        } catch (IncompatibleThreadStateException notSuspended) {
            return false;
        }
        return false;
    }

    /**
     * The exception's own toString(), as the stack trace will print it. The call runs in the
     * program while this thread waits for it, so nothing may stop the program meanwhile: a
     * breakpoint in the user's toString(), or a class it loads, would otherwise wait for this
     * thread for ever. Every request is off during the call; classes it prepared get their
     * breakpoints afterwards.
     */
    private String describe(ObjectReference exception, ThreadReference thread) {
        EventRequestManager manager = vm.eventRequestManager();
        List<EventRequest> quieted = new ArrayList<>();
        for (List<? extends EventRequest> kind : List.of(manager.breakpointRequests(),
                manager.classPrepareRequests(), manager.exceptionRequests(),
                manager.stepRequests())) {
            for (EventRequest request : kind) {
                if (request.isEnabled()) {
                    request.disable();
                    quieted.add(request);
                }
            }
        }
        try {
            Method toString = ((ClassType) exception.referenceType())
                    .concreteMethodByName("toString", "()Ljava/lang/String;");
            Value text = exception.invokeMethod(thread, toString, Collections.emptyList(),
                    ObjectReference.INVOKE_SINGLE_THREADED);
            if (text instanceof StringReference) {
                return ((StringReference) text).value();
            }
        } catch (Exception unusable) {
            // Its class name says what it is.
        } finally {
            for (EventRequest request : quieted) {
                request.enable();
            }
            for (ReferenceType type : vm.allClasses()) {
                breakpoints.prepared(type);
            }
        }
        return exception.referenceType().name();
    }

    private synchronized void goOn(Reply reply, String depth) {
        if (stopped == null) {
            reply.error("the program is not stopped");
            return;
        }
        if (depth != null) {
            int stepDepth;
            switch (depth) {
            case "into":
                stepDepth = StepRequest.STEP_INTO;
                break;
            case "out":
                stepDepth = StepRequest.STEP_OUT;
                break;
            default:
                stepDepth = StepRequest.STEP_OVER;
            }
            EventRequestManager manager = vm.eventRequestManager();
            StepRequest step = manager.createStepRequest(stopped, StepRequest.STEP_LINE, stepDepth);
            for (String prefix : LIBRARY) {
                step.addClassExclusionFilter(prefix + "*");
            }
            step.addCountFilter(1);
            step.setSuspendPolicy(EventRequest.SUSPEND_ALL);
            step.enable();
        }
        stopped = null;
        values.clear();
        vm.resume();
        reply.last(Kinds.DONE, Channel.noFields());
    }

    private synchronized void variables(Message request, Reply reply)
            throws IncompatibleThreadStateException {
        if (stopped == null) {
            reply.error("the program is not stopped");
            return;
        }
        long object = request.number("object");
        List<Object> items = object == 0
                ? values.ofFrame(stopped.frame((int) request.number("frame")))
                : values.ofObject(object);
        Map<String, Object> fields = new LinkedHashMap<>();
        fields.put("items", items);
        reply.last(DebugKinds.VARIABLES, fields);
    }
}
