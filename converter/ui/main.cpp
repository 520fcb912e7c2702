// QMoxelin: receiver range logs to RINEX and back, logs to logs.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include "codec/profile.h"
#include "codec/text_helpers.h"
#include "converter/engine/converter_log.h"
#include "converter/ui/moxelin_main_window.h"

int main(int argc, char* argv[])
{
    SetCodecProfile(CODEC_PROFILE_CONVERTER);
    RouteCodecTracesToConverter();
    QApplication app(argc, argv);
    UseCNumericLocale();
    QCoreApplication::setApplicationName("QMoxelin");

    // The files the converter keeps for itself (header settings, debug log)
    // live in the user's configuration folder.
    const QString sConfigDir = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    for (const char* pSub : {"Settings", "DebugOutput"})
        QDir().mkpath(QDir(sConfigDir).filePath(pSub));
    SetCodecConfigDir(QFile::encodeName(sConfigDir).constData());
    OpenDebugLog();

    int nResult = 0;
    {
        CMoxelinMainWindow window;
        window.show();
        nResult = app.exec();
    }
    CloseDebugLog();
    return nResult;
}
