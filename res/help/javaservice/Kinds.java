package tarvo.service;

/**
 * The kinds of messages. A request kind names its handler; new kinds are added with a handler
 * of their own, and the framing stays as it is.
 */
final class Kinds {
    /** Sent once at start, id 0: "java" (the version), "tools" (what run-tool can run), "checks". */
    static final String READY = "ready";
    /** Runs a tool: "tool", "args". Partial "output" replies ("data"), then "done" ("exit"). */
    static final String RUN_TOOL = "run-tool";
    static final String OUTPUT = "output";
    static final String DONE = "done";
    /** Checks a source text against a project in memory; "diagnostics" ("items") ends it. */
    static final String CHECK = "check";
    static final String DIAGNOSTICS = "diagnostics";
    /** What may be written at a caret of a text; "completions" ("start", "prefix", "items")
     * ends it. */
    static final String COMPLETE = "complete";
    static final String COMPLETIONS = "completions";
    /** Cancels the request "request": one not begun yet ends with "cancelled", one running stops
     * where it can. Has no reply of its own. */
    static final String CANCEL = "cancel";
    static final String CANCELLED = "cancelled";
    /** The last reply of a request that failed, or whose kind the service does not know. */
    static final String ERROR = "error";

    private Kinds() {}
}
