#include "tarviodeploy/installer/installationreport.h"

#include "tarviolib/core/md5.h"

namespace Tarvio {

namespace {

const String& signatureSalt() {
    static const String salt(L"9d3b7e15a06c2f48e1d94b70c5a2e83f61b0d7c4");
    return salt;
}

} // namespace

void InstallationReport::add(const String& key, const String& value) {
    mFields.append(StringPair(key, value));
}

String InstallationReport::signature(const Array<StringPair>& fields) {
    String text;
    for (const StringPair& field : fields) {
        text += field.second;
    }
    text += signatureSalt();
    return md5Hex(text.toUtf8().text());
}

Array<StringPair> InstallationReport::signedFields(const Array<StringPair>& fields) {
    Array<StringPair> copy = fields;
    copy.append(StringPair(L"signature", signature(fields)));
    return copy;
}

} // namespace Tarvio
