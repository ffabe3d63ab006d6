#include "TarqApp.h"
#include "platform/GameRand.h"
#include "platform/NumericLocale.h"
#include "platform/StopSignals.h"

#include <OgreException.h>

// Builds the application, runs it and destroys it. An OGRE exception that reaches this point ends the
// run with a message; the application is destroyed as usual. The exit code is 0 unless the run failed.
int main()
{
    platform::UseCNumericLocale();
    platform::CatchStopSignals();
    TarqApp app;
    platform::UseGameRandForOgre();
    try
    {
        app.go();
    }
    catch (const Ogre::Exception& exception)
    {
        app.ReportFatalError("An exception has occured!", BaseApplication::DescribeException(exception));
    }
    return app.GetExitCode();
}
