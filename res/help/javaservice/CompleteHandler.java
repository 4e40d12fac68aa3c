package tarvo.service;

import java.util.LinkedHashMap;
import java.util.Map;
import javax.tools.ToolProvider;

/**
 * complete: what may be written at the caret of a source text, which need not compile. Takes
 * "path", "text", "caret" (an offset into the text; -1 only gets the service ready and answers
 * with no entries), "sourcepath", "options" and "overlays" as check does. "completions"
 * answers with "start" (where the name being completed starts), "prefix" (what is typed of
 * it), "items", the entries Proposals describes, and "complete" (0 when classes were left out
 * until a name is begun).
 */
final class CompleteHandler implements Handler {
    /** Made at the first request: it keeps the compiler's contexts from one request to the next. */
    private Completer completer;

    @Override
    public void handle(Message request, Reply reply) throws Exception {
        if (completer == null) {
            completer = new Completer(ToolProvider.getSystemJavaCompiler());
        }
        Completer.Result result =
                completer.complete(Completer.requestOf(request), reply::isCancelled);
        if (reply.isCancelled()) {
            reply.last(Kinds.CANCELLED, Channel.noFields());
            return;
        }
        Map<String, Object> fields = new LinkedHashMap<>();
        fields.put("start", (long) result.start);
        fields.put("prefix", result.prefix);
        fields.put("items", result.items);
        fields.put("complete", result.complete ? 1L : 0L);
        reply.last(Kinds.COMPLETIONS, fields);
    }
}
