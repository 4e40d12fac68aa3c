/* Legacy code kept as it was written.
   Its comments name a subclass { of nothing } */
static void helper() {
}

class Legacy {
    int counter = next(3);
    static {
        System.loadLibrary("legacy");
    }

    abstract interface Listener {
        void changed(int value);
    }

    class Outer {
        class Deeper {
            void deep() {
            }
        }
        void afterDeeper() {
        }
    }

	public   synchronized    void    spaced  (int   a)    {
    }

    // void commented() {
    void real() /* trailing { */ {
    }
}
