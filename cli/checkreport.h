// The report of zkhelp_cli -check, as text for people and as JSON for other
// programs. Scripts parse both: the bytes stay as they are.
#pragma once

#include "helpcheck.h"

#include <QByteArray>
#include <QString>

// One line per finding, "PATH: KIND [LANG[#SECTION]]: DETAIL", then the
// summary line.
QString formatCheckText(const ZkHelp::CheckReport &report);

// One JSON object on one line, followed by a line feed. Written by hand, as
// QJsonDocument would not keep the keys in their order.
QByteArray formatCheckJson(const ZkHelp::CheckReport &report);
