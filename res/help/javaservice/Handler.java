package tarvo.service;

/** Serves the requests of one kind. Runs on the service's worker thread, one request at a time. */
interface Handler {
    /** Answers the request through reply; a request left without its last reply ends in error. */
    void handle(Message request, Reply reply) throws Exception;
}
