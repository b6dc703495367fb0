#include "platform/text/failure.h"

#include <exception>
#include <new>

namespace zarv {

NumberedError::NumberedError(long number, const QString& description)
    : std::runtime_error(description.toStdString()), number_(number), description_(description)
{
}

Refusal::Refusal(const QString& what, const QString& remedy, int line)
    : std::runtime_error(what.toStdString()), problem_(what), remedy_(remedy), line_(line)
{
}

QString Refusal::message() const
{
    QString text = line_ > 0 ? QStringLiteral("Line %1: %2").arg(line_).arg(problem_) : problem_;
    if (!remedy_.isEmpty())
        text += QStringLiteral("\n\n") + remedy_;
    return text;
}

Failure currentFailure()
{
    try {
        throw;
    } catch (const Refusal& e) {
        return {0, e.message(), true};
    } catch (const NumberedError& e) {
        return {e.number(), e.description()};
    } catch (const std::overflow_error&) {
        return {6, QStringLiteral("Overflow")};
    } catch (const std::bad_alloc&) {
        return {7, QStringLiteral("Out of memory")};
    } catch (const std::exception& e) {
        return {5, QString::fromLocal8Bit(e.what())};
    }
}

} // namespace zarv
