// The help pages window: a stand-in until the window is built. It has what the main
// window uses of it and says that it is not built yet.
#pragma once

#include <QString>

#include "monitor/shell/stand_in_window.h"

class QFHighLightDiag : public CStandInWindow
{
    Q_OBJECT

public:
    explicit QFHighLightDiag(QWidget* pParent);

public slots:
    void OnLanguageUpdate(QString CurLange);
};
