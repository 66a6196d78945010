#include "checkreport.h"

using ZkHelp::CheckReport;
using ZkHelp::Finding;

namespace {

QByteArray jsonString(const QString &text)
{
    QByteArray out = "\"";
    for (const char c : text.toUtf8()) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20)
                out += "\\u00" +
                       QByteArray::number(static_cast<unsigned char>(c), 16).rightJustified(2, '0');
            else
                out += c;
        }
    }
    return out + '"';
}

} // namespace

QString formatCheckText(const CheckReport &report)
{
    QString text;
    for (const Finding &f : report.findings) {
        text += f.file + QStringLiteral(": ") + ZkHelp::findingKindName(f.kind);
        if (!f.language.isEmpty()) {
            text += u' ' + f.language;
            if (f.section >= 0)
                text += u'#' + QString::number(f.section);
        }
        text += QStringLiteral(": ") + f.detail + u'\n';
    }
    text += QStringLiteral("%1 Dateien, %2 Sprachen: %3 Fehler, %4 Hinweise, %5 ohne Abgleich\n")
                .arg(report.files)
                .arg(report.languages.size())
                .arg(report.errorCount())
                .arg(report.noteCount())
                .arg(report.unconfirmed);
    return text;
}

QByteArray formatCheckJson(const CheckReport &report)
{
    QByteArray json = "{\"files\": " + QByteArray::number(report.files) + ", \"languages\": [";
    for (qsizetype i = 0; i < report.languages.size(); ++i)
        json += (i > 0 ? ", " : "") + jsonString(report.languages.at(i));
    json += "], \"unconfirmed\": " + QByteArray::number(report.unconfirmed) + ", \"findings\": [";
    for (qsizetype i = 0; i < report.findings.size(); ++i) {
        const Finding &f = report.findings.at(i);
        json += (i > 0 ? ", " : "");
        json += "{\"file\": " + jsonString(f.file) +
                ", \"kind\": " + jsonString(ZkHelp::findingKindName(f.kind)) +
                ", \"language\": " + jsonString(f.language) +
                ", \"section\": " + QByteArray::number(f.section) +
                ", \"detail\": " + jsonString(f.detail) + ", \"severity\": \"" +
                (ZkHelp::isError(f.kind) ? "error" : "note") + "\"}";
    }
    return json + "]}\n";
}
