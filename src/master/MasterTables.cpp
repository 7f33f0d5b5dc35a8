#include "master/MasterTables.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

MasterTables::MasterTables()
    : m_lamps(kSlots), m_luminaires(kSlots), m_rooms(kSlots)
{
}

QVector<QByteArray> MasterTables::splitRecords(const QByteArray &bytes, int length, int maxRecords)
{
    QVector<QByteArray> records;
    const qsizetype whole = std::min<qsizetype>(bytes.size() / length, maxRecords);
    records.reserve(whole);
    for (qsizetype k = 0; k < whole; ++k)
        records.append(bytes.mid(k * length, length));
    return records;
}

bool MasterTables::readFile(const QString &dir, const QString &fileName, int length, QVector<QByteArray> *records,
                            QString *error)
{
    const QString path = QDir(dir).filePath(fileName);
    QFile file(path);
    // Only a regular file is a master: a FIFO or a device would hold start-up for ever.
    const QFileInfo info(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
        if (error) {
            *error = QStringLiteral("マスタファイル「%1」を開けません。\n\nフォルダ：%2\n\n"
                                    "プログラムと同じフォルダにマスタファイルを置いてから、もう一度起動してください。")
                         .arg(fileName, QDir::toNativeSeparators(QDir(dir).absolutePath()));
        }
        return false;
    }
    // Only the first 999 records can ever be used; the rest is not read.
    const QByteArray bytes = file.read(qint64(kSlots) * length);
    if (file.error() != QFileDevice::NoError) {
        if (error) {
            *error = QStringLiteral("マスタファイル「%1」を読み込めません。\n\nフォルダ：%2\n\n%3")
                         .arg(fileName, QDir::toNativeSeparators(QDir(dir).absolutePath()), file.errorString());
        }
        return false;
    }
    *records = splitRecords(bytes, length);
    return true;
}

template <typename Record>
static bool loadTable(const QString &dir, const QString &fileName, QVector<Record> *table, QString *error,
                      bool (*read)(const QString &, const QString &, int, QVector<QByteArray> *, QString *))
{
    QVector<QByteArray> records;
    if (!read(dir, fileName, Record::kLength, &records, error))
        return false;
    *table = QVector<Record>(MasterTables::kSlots);
    for (qsizetype k = 0; k < records.size(); ++k)
        (*table)[k] = Record::fromBytes(records[k]);
    return true;
}

bool MasterTables::LoadLuminaireMaster(const QString &dir, QString *error)
{
    return loadTable(dir, kLuminaireFile, &m_luminaires, error, &MasterTables::readFile);
}

bool MasterTables::LoadLampMaster(const QString &dir, QString *error)
{
    return loadTable(dir, kLampFile, &m_lamps, error, &MasterTables::readFile);
}

bool MasterTables::LoadRoomMaster(const QString &dir, QString *error)
{
    return loadTable(dir, kRoomFile, &m_rooms, error, &MasterTables::readFile);
}

bool MasterTables::loadAll(const QString &dir, QString *error)
{
    return LoadLuminaireMaster(dir, error) && LoadLampMaster(dir, error) && LoadRoomMaster(dir, error);
}

const LampRecord &MasterTables::lamp(int slot) const
{
    static const LampRecord empty;
    return slot >= 1 && slot <= kSlots ? m_lamps[slot - 1] : empty;
}

const LuminaireRecord &MasterTables::luminaire(int slot) const
{
    static const LuminaireRecord empty;
    return slot >= 1 && slot <= kSlots ? m_luminaires[slot - 1] : empty;
}

const RoomMasterRecord &MasterTables::room(int slot) const
{
    static const RoomMasterRecord empty;
    return slot >= 1 && slot <= kSlots ? m_rooms[slot - 1] : empty;
}

void MasterTables::setLamp(int slot, const LampRecord &record)
{
    if (slot >= 1 && slot <= kSlots)
        m_lamps[slot - 1] = record;
}

void MasterTables::setLuminaire(int slot, const LuminaireRecord &record)
{
    if (slot >= 1 && slot <= kSlots)
        m_luminaires[slot - 1] = record;
}

void MasterTables::setRoom(int slot, const RoomMasterRecord &record)
{
    if (slot >= 1 && slot <= kSlots)
        m_rooms[slot - 1] = record;
}

int MasterTables::findRoomByName(const QString &name) const
{
    for (int slot = 1; slot <= kRoomSearchSlots; ++slot) {
        const QString &candidate = m_rooms[slot - 1].name;
        if (candidate.isEmpty())
            return 0;
        if (candidate == name)
            return slot;
    }
    return 0;
}
