#pragma once

#include <QString>

// The system's own description of an error, in the user's language, for every message
// that names a cause. Qt has untranslated English texts of its own for some errors
// (the full disk among them), so they are not used for what the operator reads.

// The description of an error number: errno, or GetLastError() on Windows.
QString systemCause(int error);
