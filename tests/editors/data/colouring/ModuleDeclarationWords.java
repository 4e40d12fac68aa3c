open module tarvo.sample {
    requires transitive java.desktop;
    requires static java.sql;
    exports tarvo.api to tarvo.app, tarvo.test;
    opens tarvo.impl;
    uses tarvo.spi.Plugin;
    provides tarvo.spi.Plugin with tarvo.impl.Default;
}
