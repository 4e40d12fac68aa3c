String s = "never closed;
int next;
