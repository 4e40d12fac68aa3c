char q = '"'; int inside;
char c = 'x'; String s = "t";
