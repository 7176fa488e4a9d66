#include "sim_journal.h"

#include "sim_bytes.h"

#include <QJsonDocument>

namespace sim {

QJsonObject JournalEntry::toJson() const {
    QJsonObject o{{"t", timeMs}, {"dir", dir}, {"kind", kind}};
    if (!text.isEmpty())
        o["text"] = text;
    if (!bytes.isEmpty())
        o["hex"] = hex(bytes);
    if (page >= 0)
        o["page"] = page;
    if (address >= 0)
        o["addr"] = address;
    if (block >= 0)
        o["block"] = block;
    if (chunk >= 0)
        o["chunk"] = chunk;
    if (record >= 0)
        o["record"] = record;
    if (!fault.isEmpty())
        o["fault"] = fault;
    return o;
}

bool Journal::setFile(const QString& path, QString* error) {
    m_file.close();
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, m_file.errorString());
        return false;
    }
    return true;
}

void Journal::add(const JournalEntry& entry) {
    m_entries.append(entry);
    if (m_file.isOpen()) {
        m_file.write(QJsonDocument(entry.toJson()).toJson(QJsonDocument::Compact) + '\n');
        m_file.flush();
    }
}

void Journal::writeFinal(const QJsonObject& state) {
    if (m_file.isOpen()) {
        m_file.write(QJsonDocument(QJsonObject{{"final", state}}).toJson(QJsonDocument::Compact) + '\n');
        m_file.flush();
    }
}

} // namespace sim
