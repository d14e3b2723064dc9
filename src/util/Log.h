#pragma once
#include <QString>
#include <string>

// Diagnostics. Entries go to log4cplus's root logger at ERROR level, each
// with a fixed English text, the source unit ("EditWnd/VantrelDoc"), the
// line and the function signature. Until configure() has found a
// configuration file nothing is written and nothing fails.
namespace vlog {

// Configures log4cplus once from the properties file at `path`
// (PropertyConfigurator::doConfigure). Returns false, and leaves logging
// unconfigured, when the file does not exist.
bool configure(const std::string& path);

void error(const char* text, const char* unit, int line, const char* function);
void error(const QString& text, const char* unit, int line, const char* function);

// The debugger channel: silent unless VANTREL_DEBUG is set in the
// environment, then one line on stderr. Swallowed SQLite errors go here.
void debugOutput(const QString& text);
bool debugEnabled();

} // namespace vlog

#define VLOG_ERROR(unit, text) ::vlog::error((text), (unit), __LINE__, __PRETTY_FUNCTION__)
