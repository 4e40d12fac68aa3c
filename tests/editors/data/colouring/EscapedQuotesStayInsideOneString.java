String a = "say \"hi\" to int";
String b = "ends in a backslash\\"; int c = 1; String d = "closed here";
int e = 2;
