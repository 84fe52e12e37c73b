#pragma once
#include "XmpPacket.h"

#include <QByteArray>
#include <QString>

namespace zd::archive {

// Where the sRGB profile of the output intent comes from (Debian's
// icc-profiles-free). When it is missing the writer's own sRGB intent stays.
inline constexpr char kSrgbProfile[] = "/usr/share/color/icc/sRGB.icc";

// Turns the pages Qt wrote into a PDF/A-3 file: XMP metadata and document
// information from the identity, an sRGB output intent, and, when
// facturXml is not empty, the XML embedded as factur-x.xml (text/xml),
// listed among the document's embedded files and as its associated file
// (catalog /AF) with the relationship /Alternative: the XML states the same
// invoice as the pages. Empty on failure, with the reason in *error.
QByteArray FinishPdfA3(const QByteArray &pages, const ArchiveIdentity &identity,
                       const QByteArray &facturXml, QString *error);

} // namespace zd::archive
