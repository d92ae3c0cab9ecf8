#pragma once

class QWidget;

// Stands in for the session's request to close a program: SIGTERM, SIGINT and SIGHUP
// close the window as its close box does, so the run ends as every close ends it.
void closeOnEndSignals(QWidget *window);
// A write past the user's file-size limit fails as on a full disk, where the error is
// handled, instead of ending the run with SIGXFSZ.
void failWritesPastTheSizeLimit();
