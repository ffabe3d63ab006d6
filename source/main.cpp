#include "TarqApp.h"
#include "platform/FatalError.h"
#include "platform/GameRand.h"
#include "platform/NumericLocale.h"

#include <OgreException.h>

// Builds the application, runs it and destroys it. An OGRE exception that reaches this point ends the
// run with a message; the application is destroyed as usual. Returns the application's exit code.
int main()
{
    platform::UseCNumericLocale();
    TarqApp app;
    platform::UseGameRandForOgre();
    try
    {
        app.go();
    }
    catch (const Ogre::Exception& exception)
    {
        platform::ShowFatalError("An exception has occured!", exception.getFullDescription());
    }
    return app.GetExitCode();
}
