// The user configuration view: the configuration lines the receiver of the
// current port reports (its USERCONFIG reply) beside a saved reference,
// Configure/Config/Userconfig.txt in the program's configuration folder, with
// every line that only one of the two holds marked; and the reference-station
// settings among those lines (base ID, position averaging, fixed position),
// with the fixed position on a map page.
//
// It asks the current port's receiver when it opens and on "Refresh", and
// only that port's reply fills it. A reference file that cannot be read is
// said so under the table.
#pragma once

#include <QDialog>
#include <QStringList>

class CPortTab;
class CStationMapPage;
class QLabel;
class QPushButton;
class QTableWidget;
class QTabWidget;

// Where the reference configuration is kept.
QString UserconfigFilePath();

class QUserconfigDiag : public QDialog
{
    Q_OBJECT

public:
    explicit QUserconfigDiag(QWidget* pParent = nullptr);
    ~QUserconfigDiag() override;

    const CPortTab* m_pPortTab = nullptr; // set by the main window

    // The map page the reference station is shown on (not owned); null: none.
    void SetMapPage(CStationMapPage* pPage);
    // The port the view last asked; 0 when none.
    uint PortID() const { return m_PortID; }

signals:
    // Asks the port with that ID for the status replies of Mask (1: its user configuration).
    void SignalSendUserconfig(uint UniquePortID, uint Mask);

public slots:
    void OnShowDialog();
    void OnUserconfigRefressh();
    // Asks the current port's receiver for its user configuration.
    void SendUerconfigCmd();
    // Fills both tabs from the user configuration reply of the port asked.
    void OnUpdateDiag();
    void OnLanguageUpdate();

protected:
    void hideEvent(QHideEvent* pEvent) override;

private:
    void UpdateStationStatus(const QStringList& UserconfigList);
    void LoadMapView();
    // The receiver's lines and the reference lines the receiver lacks, in
    // order, each marked when only one side holds it.
    void FillCompareTable(QStringList OtherList, QStringList ShownList);
    // The reference file's lines; false with the reason when it cannot be read.
    bool ReadReferenceFile(QStringList* pLines, QString* pError) const;
    void ClearShown();
    // Says under the table when the reference file could not be read.
    void ShowFileState();

    QTabWidget* m_pTabs = nullptr;
    QTableWidget* m_pTable = nullptr;
    QLabel* m_pFileState = nullptr;
    QLabel* m_pPortTabName = nullptr;
    QPushButton* m_pRefresh = nullptr;
    QWidget* m_pMapWidget = nullptr;
    QList<QLabel*> m_CaptionLabels; // label, label_2, label_3, pLonLable, pLatLable, pHeiLable
    QList<QLabel*> m_PositionLabels; // the longitude, latitude and height names and values
    QLabel* m_pBaseid = nullptr;
    QLabel* m_pPosave = nullptr;
    QLabel* m_pFixStatus = nullptr;
    QLabel* m_pLon = nullptr;
    QLabel* m_pLat = nullptr;
    QLabel* m_pHeight = nullptr;
    CStationMapPage* m_pMapPage = nullptr;
    QStringList m_HeaderLabels;
    QString m_sUserconfigPath;
    QStringList m_FileLines;
    QString m_sFileError;
    uint m_PortID = 0;
};
