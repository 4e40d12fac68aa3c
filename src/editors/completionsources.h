#pragma once

class CompletionController;
class CSyntaxWindowView;

// Gives a source window its code completion: the Java service completes the window's text
// against the open project when the file is one of the project's (as its checks as you type
// see it), or against the file's own folder when it is not; without a service the classes and
// methods the scans found (in the open windows and the project) and the words of the open
// windows are offered. The controller belongs to the view.
CompletionController *attachCompletion(CSyntaxWindowView &view);
