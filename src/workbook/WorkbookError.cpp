#include "WorkbookError.h"

using namespace Qt::Literals::StringLiterals;

namespace Xl {

QString WorkbookError::messageFor(Code code)
{
    switch (code) {
    case Code::None:
        return {};
    case Code::NotFound:
        return u"找不到工作簿文件"_s;
    case Code::ReadFailed:
        return u"无法读取工作簿文件"_s;
    case Code::NotAWorkbook:
        return u"文件不是可以识别的工作簿"_s;
    case Code::Corrupt:
        return u"工作簿已损坏，无法打开"_s;
    case Code::Unsafe:
        return u"工作簿含有不安全的内容，已拒绝打开"_s;
    case Code::TooLarge:
        return u"工作簿解压后过大，已拒绝打开"_s;
    case Code::Encrypted:
        return u"工作簿设有打开密码，无法读取"_s;
    case Code::Unsupported:
        return u"不支持这种工作簿格式"_s;
    case Code::ConverterMissing:
        return u"缺少格式转换程序 ssconvert，请安装软件包 gnumeric"_s;
    case Code::ConversionFailed:
        return u"工作簿格式转换失败"_s;
    case Code::TooManyRows:
        return u"工作表超过 65536 行，不能保存为 .xls 格式"_s;
    case Code::TooManyColumns:
        return u"工作表超过 256 列，不能保存为 .xls 格式"_s;
    case Code::WriteFailed:
        return u"无法保存工作簿，原文件没有改动"_s;
    case Code::InvalidName:
        return u"工作表名称无效"_s;
    case Code::NameTaken:
        return u"工作表名称已被使用"_s;
    case Code::LastSheet:
        return u"工作簿至少要保留一个可见的工作表"_s;
    case Code::NoSuchSheet:
        return u"找不到指定的工作表"_s;
    case Code::InvalidArgument:
        return u"参数无效"_s;
    }
    return {};
}

WorkbookError WorkbookError::make(Code code, const QString& detail)
{
    WorkbookError e;
    e.code = code;
    e.message = messageFor(code);
    e.detail = detail;
    return e;
}

QString WorkbookError::toString() const
{
    if (detail.isEmpty())
        return message;
    return message + u"：" + detail;
}

bool fail(WorkbookError* out, const WorkbookError& e)
{
    if (out)
        *out = e;
    return false;
}

bool fail(WorkbookError* out, WorkbookError::Code code, const QString& detail)
{
    return fail(out, WorkbookError::make(code, detail));
}

} // namespace Xl
