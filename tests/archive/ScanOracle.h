#pragma once
// The header scanner as it first was: a chain of literal searches over the head of the
// file, the file's date taken through QFileInfo. Kept here, unchanged, as the reference
// the production scanner is compared with.
#include "archive/M_XML.h"

namespace scanoracle
{
QString readHeader(const QString& path, XML_Stru& record);
}
