/* opened here
int inside;
closing */ int after;
/* again
int a */ int b /* c */ int d;
/* once more
x */ y /* z
/*/
