// Reading a KMZ back for the tests: the archive is opened by Python's zipfile
// (a ZIP reader of its own, which also checks every entry's CRC) and its
// Track.kml parsed with an XML reader, placemark by placemark.
#pragma once

#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QXmlStreamReader>
#include <cmath>
#include <string>
#include <vector>

struct KML_PLACEMARK_T
{
    QString Name;        // the placemark's own name, if it has one
    QString FolderName;  // the name element written before it in the folder
    QString Href;        // its icon
    QString Point;       // coordinates of a point
    QString Line;        // coordinates of a line
    QString Description;
};

struct KMZ_CONTENT_T
{
    QString Error; // empty when the archive and its KML read
    QStringList Entries;
    QByteArray Kml;
    QString TrackName;
    std::vector<KML_PLACEMARK_T> Placemarks;
};

inline KMZ_CONTENT_T ReadKmz(const QString& sKmz, const QString& sScratch)
{
    KMZ_CONTENT_T k;
    QProcess python;
    python.start(QStringLiteral("python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import sys, zipfile\n"
                                 "z = zipfile.ZipFile(sys.argv[1])\n"
                                 "bad = z.testzip()\n"
                                 "if bad: sys.exit('bad entry ' + bad)\n"
                                 "open(sys.argv[2], 'wb').write(z.read('Track.kml'))\n"
                                 "print('\\n'.join(z.namelist()))\n"),
                  sKmz, sScratch});
    if (!python.waitForFinished(60000) || python.exitStatus() != QProcess::NormalExit || python.exitCode() != 0)
    {
        k.Error = QStringLiteral("zip: ") + QString::fromUtf8(python.readAllStandardError());
        return k;
    }
    k.Entries = QString::fromUtf8(python.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QFile kml(sScratch);
    if (!kml.open(QIODevice::ReadOnly))
    {
        k.Error = QStringLiteral("no Track.kml");
        return k;
    }
    k.Kml = kml.readAll();

    QXmlStreamReader xml(k.Kml);
    QStringList path;
    QString sLastFolderName;
    KML_PLACEMARK_T* pMark = nullptr;
    while (!xml.atEnd())
    {
        xml.readNext();
        if (xml.isStartElement())
        {
            const QString sName = xml.name().toString();
            path << sName;
            if (sName == QLatin1String("Placemark"))
            {
                k.Placemarks.push_back(KML_PLACEMARK_T());
                pMark = &k.Placemarks.back();
                pMark->FolderName = sLastFolderName;
                sLastFolderName.clear();
            }
        }
        else if (xml.isEndElement())
        {
            if (path.last() == QLatin1String("Placemark"))
                pMark = nullptr;
            path.removeLast();
        }
        else if (xml.isCharacters() && !path.isEmpty())
        {
            const QString sText = xml.text().toString();
            const QString& sElement = path.last();
            const QString sParent = path.size() >= 2 ? path[path.size() - 2] : QString();
            if (pMark == nullptr && sElement == QLatin1String("name") && sParent == QLatin1String("Folder"))
                sLastFolderName = sText;
            if (pMark != nullptr)
            {
                if (sElement == QLatin1String("name") && sParent == QLatin1String("Placemark"))
                    pMark->Name = sText;
                else if (sElement == QLatin1String("href"))
                    pMark->Href = sText;
                else if (sElement == QLatin1String("description"))
                    pMark->Description += sText;
                else if (sElement == QLatin1String("coordinates") && sParent == QLatin1String("Point"))
                    pMark->Point = sText;
                else if (sElement == QLatin1String("coordinates") && sParent == QLatin1String("LineString"))
                    pMark->Line = sText;
            }
        }
    }
    if (xml.hasError())
        k.Error = QStringLiteral("xml: ") + xml.errorString();
    // The track folder's own name is the first name in the folder of id ID2.
    QXmlStreamReader names(k.Kml);
    while (!names.atEnd())
        if (names.readNext() == QXmlStreamReader::StartElement && names.name() == QLatin1String("Folder") &&
            names.attributes().value(QLatin1String("id")) == QLatin1String("ID2"))
        {
            names.readNextStartElement();
            k.TrackName = names.readElementText();
            break;
        }
    return k;
}

// "lon,lat,alt" of a point.
inline bool PointOf(const QString& sCoordinates, double* pLon, double* pLat, double* pAlt)
{
    const QStringList parts = sCoordinates.split(QLatin1Char(','));
    bool a = false, b = false, c = false;
    if (parts.size() != 3)
        return false;
    *pLon = parts[0].toDouble(&a);
    *pLat = parts[1].toDouble(&b);
    *pAlt = parts[2].toDouble(&c);
    return a && b && c;
}
