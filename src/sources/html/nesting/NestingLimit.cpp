#include "sources/html/nesting/NestingLimit.h"

#include "sources/html/nesting/MarkupScanner.h"
#include "sources/html/nesting/NestingModel.h"
#include "sources/html/nesting/NestingTags.h"

namespace vt {

QByteArray limitNesting(QByteArray utf8, int maxDepth) {
    const char* const begin = utf8.constData();
    MarkupScanner scanner(begin, begin + utf8.size());
    NestingModel model(maxDepth);
    QByteArray limited;
    const char* copied = begin; // the source before it is in limited
    for (MarkupTag tag = scanner.next(); tag.kind != MarkupTag::Kind::EndOfInput && !model.lost();
         tag = scanner.next()) {
        if (tag.kind == MarkupTag::Kind::End) {
            model.endTag(tag);
            continue;
        }
        const NestingModel::Verdict verdict = model.startTag(tag);
        switch (verdict) {
        case NestingModel::Verdict::Keep:
            break;
        case NestingModel::Verdict::Drop:
        case NestingModel::Verdict::Break:
            if (limited.isEmpty()) {
                limited.reserve(utf8.size());
            }
            limited.append(copied, tag.begin - copied);
            if (verdict == NestingModel::Verdict::Break) {
                limited.append("<br>");
            }
            copied = tag.end;
            break;
        case NestingModel::Verdict::RawText:
            scanner.enterRawText(nesting::nameOf(nesting::tagOf(tag.name)));
            break;
        case NestingModel::Verdict::Script:
            scanner.enterScriptData();
            break;
        case NestingModel::Verdict::Plaintext:
            scanner.enterPlaintext();
            break;
        }
    }
    if (copied == begin) {
        return utf8; // nothing left out
    }
    limited.append(copied, begin + utf8.size() - copied);
    return limited;
}

} // namespace vt
