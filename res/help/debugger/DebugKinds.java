package tarvo.service;

/**
 * The kinds of the debugger's messages, beside the common ones of Kinds (ready, done, error).
 * Every request but "debug" is answered at once with "done" (or "variables", or "error").
 */
final class DebugKinds {
    /**
     * Starts the session: "breakpoints" (records of "path", the source's package folders and
     * file name, and "line", 1-based) and "timeout" (how long to wait for the program, in ms).
     * Partial replies: "attached" once the program connected, "stopped" each time it stops;
     * the last reply "ended" once it has ended.
     */
    static final String DEBUG = "debug";
    static final String ATTACHED = "attached";
    /**
     * "reason" (breakpoint, step, exception), "exception" (the exception's text), "thread",
     * "frames" (records of "class", "method", "path", "source", "line", "library") and "frame",
     * the index of the frame to show: the first of the program's own code.
     */
    static final String STOPPED = "stopped";
    static final String ENDED = "ended";
    /** Sets ("set" 1) or clears ("set" 0) the breakpoint at "path" and "line". */
    static final String BREAKPOINT = "breakpoint";
    /** Lets the stopped program go on. */
    static final String RESUME = "resume";
    /** Lets the stopped program go on to the next line: "depth" over, into or out. */
    static final String STEP = "step";
    /**
     * The variables of the frame "frame" of the stopped thread ("object" 0), or the fields or
     * elements of an object handed out before ("object" its id). Answered with "variables":
     * "items", records of "name", "kind", "type", "value" and "object" (the id to expand it by,
     * 0 for none).
     */
    static final String VARIABLES = "variables";
    /** Ends the program with the exit code "exit". */
    static final String STOP = "stop";

    private DebugKinds() {}
}
