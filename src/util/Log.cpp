#include "util/Log.h"

#include <log4cplus/configurator.h>
#include <log4cplus/initializer.h>
#include <log4cplus/logger.h>
#include <log4cplus/loggingmacros.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <mutex>

namespace vlog {
namespace {

std::once_flag initOnce;
bool configured = false;

void ensureInitialized()
{
    // log4cplus 2 needs its library state set up before first use; the
    // Initializer lives for the rest of the process.
    std::call_once(initOnce, [] {
        static log4cplus::Initializer initializer;
    });
}

} // namespace

bool configure(const std::string& path)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return false;
    ensureInitialized();
    log4cplus::PropertyConfigurator::doConfigure(LOG4CPLUS_STRING_TO_TSTRING(path));
    configured = true;
    return true;
}

void error(const char* text, const char* unit, int line, const char* function)
{
    if (!configured)
        return;
    log4cplus::Logger root = log4cplus::Logger::getRoot();
    LOG4CPLUS_ERROR(root, text << " [" << unit << ":" << line << " " << function << "]");
}

void error(const QString& text, const char* unit, int line, const char* function)
{
    error(text.toUtf8().constData(), unit, line, function);
}

bool debugEnabled()
{
    static const bool enabled = std::getenv("VANTREL_DEBUG") != nullptr;
    return enabled;
}

void debugOutput(const QString& text)
{
    if (!debugEnabled())
        return;
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
}

} // namespace vlog
