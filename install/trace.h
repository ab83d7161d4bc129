// Traces a failure that the program deliberately goes on after (a shortcut that
// could not be made, a registry value that could not be written, a sound that
// stays silent), so that a support engineer can see it in a debug-output viewer.
// The user is told nothing: these failures are not worth a message box.
#pragma once

// One line "<program>: <what> <subject> failed (error <code>)" on the debug
// output; subject may be null, and code 0 leaves the error out.
void traceFailure(const char* what, const char* subject, unsigned long code);
