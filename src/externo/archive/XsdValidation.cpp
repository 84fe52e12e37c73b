#include "XsdValidation.h"

#include <QFile>

#include <libxml/parser.h>
#include <libxml/xmlschemas.h>

namespace zd::archive {

namespace {

// libxml2 reports through a variadic callback; the messages are collected.
void collect(void *context, const char *format, ...)
{
    char buffer[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    auto *errors = static_cast<QStringList *>(context);
    const QString text = QString::fromUtf8(buffer).trimmed();
    if (!text.isEmpty())
        errors->append(text);
}

} // namespace

bool ValidateAgainstXsd(const QByteArray &xml, const QString &xsdFile, QStringList *errors)
{
    QStringList messages;
    bool valid = false;
    if (!QFile::exists(xsdFile)) {
        messages << QStringLiteral("schema not found: %1").arg(xsdFile);
    } else {
        xmlSchemaParserCtxtPtr parser = xmlSchemaNewParserCtxt(QFile::encodeName(xsdFile).constData());
        xmlSchemaSetParserErrors(parser, collect, collect, &messages);
        xmlSchemaPtr schema = xmlSchemaParse(parser);
        xmlSchemaFreeParserCtxt(parser);
        if (!schema) {
            messages << QStringLiteral("schema not readable: %1").arg(xsdFile);
        } else {
            // No network and no entity expansion while reading the document.
            xmlDocPtr doc = xmlReadMemory(xml.constData(), int(xml.size()), "factur-x.xml", nullptr,
                                          XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
            if (!doc) {
                messages << QStringLiteral("not well-formed XML");
            } else {
                xmlSchemaValidCtxtPtr check = xmlSchemaNewValidCtxt(schema);
                xmlSchemaSetValidErrors(check, collect, collect, &messages);
                valid = xmlSchemaValidateDoc(check, doc) == 0;
                xmlSchemaFreeValidCtxt(check);
                xmlFreeDoc(doc);
            }
            xmlSchemaFree(schema);
        }
    }
    if (errors)
        *errors = messages;
    return valid;
}

} // namespace zd::archive
