package tarvo.service;

import java.util.HashMap;
import java.util.Iterator;
import java.util.Map;
import java.util.concurrent.LinkedBlockingDeque;
import java.util.concurrent.TimeUnit;

/**
 * Hands each request to the handler of its kind, in the order they came, on one worker thread,
 * so that a compile has the whole service to itself. Cancels are served at once, on the reading
 * thread. Once the queue has been empty a while after some work, the heap is collected, so that
 * the idle service gives memory back.
 */
final class Dispatcher {
    private static final long SETTLE_SECONDS = 2;

    private final Channel channel;
    private final Map<String, Handler> handlers = new HashMap<>();
    private final LinkedBlockingDeque<Pending> queue = new LinkedBlockingDeque<>();
    private volatile Pending running;

    private static final class Pending {
        final Message request;
        final Reply reply;

        Pending(Message request, Reply reply) {
            this.request = request;
            this.reply = reply;
        }
    }

    Dispatcher(Channel channel) {
        this.channel = channel;
    }

    void register(String kind, Handler handler) {
        handlers.put(kind, handler);
    }

    /** Called by the reading thread for every request. */
    void dispatch(Message request) {
        if (Kinds.CANCEL.equals(request.kind)) {
            cancel(request.number("request"));
            return;
        }
        queue.add(new Pending(request, new Reply(channel, request.id)));
    }

    private void cancel(long id) {
        for (Iterator<Pending> waiting = queue.iterator(); waiting.hasNext();) {
            Pending pending = waiting.next();
            if (pending.request.id == id) {
                waiting.remove();
                pending.reply.last(Kinds.CANCELLED, Channel.noFields());
                return;
            }
        }
        Pending current = running;
        if (current != null && current.request.id == id) {
            current.reply.cancel();
        }
    }

    /** Serves requests until the process ends. */
    void serve() {
        boolean workedSinceCollect = false;
        for (;;) {
            Pending next;
            try {
                next = queue.poll(SETTLE_SECONDS, TimeUnit.SECONDS);
            } catch (InterruptedException interrupted) {
                return;
            }
            if (next == null) {
                if (workedSinceCollect) {
                    System.gc();
                    workedSinceCollect = false;
                }
                continue;
            }
            running = next;
            run(next);
            running = null;
            workedSinceCollect = true;
        }
    }

    private void run(Pending pending) {
        Handler handler = handlers.get(pending.request.kind);
        if (handler == null) {
            pending.reply.error("unknown request kind " + pending.request.kind);
            return;
        }
        try {
            handler.handle(pending.request, pending.reply);
            if (!pending.reply.hasEnded()) {
                pending.reply.error("no reply");
            }
        } catch (Throwable failure) {
            pending.reply.error(failure.toString());
        }
    }
}
