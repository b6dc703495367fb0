#pragma once
// Real file-system faults for tests, without mounting anything: a disk that
// is full for a child process, and a folder that even the superuser cannot
// write into.
#include <QByteArray>
#include <QString>

#include <cerrno>
#include <cstddef>
#include <functional>
#include <linux/audit.h>
#include <linux/capability.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

// AddressSanitizer checks memory by writing to a pipe of its own, which the
// full-disk filter below refuses as well; builds with it skip such tests.
#if defined(__SANITIZE_ADDRESS__)
#define ZARV_SKIP_UNLESS_FULL_DISK_CAN_BE_FAKED() GTEST_SKIP() << "the sanitizer's own writes would fail too"
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZARV_SKIP_UNLESS_FULL_DISK_CAN_BE_FAKED() GTEST_SKIP() << "the sanitizer's own writes would fail too"
#endif
#endif
#ifndef ZARV_SKIP_UNLESS_FULL_DISK_CAN_BE_FAKED
#define ZARV_SKIP_UNLESS_FULL_DISK_CAN_BE_FAKED() static_cast<void>(0)
#endif

namespace zarv::test {

// Runs work in a child process in which every write to a file fails with
// ENOSPC, as on a full disk (the standard streams still work), and returns
// the text work returned; "<child failed>" when the child did not finish.
inline QString withFullDisk(const std::function<QString()>& work)
{
    int out[2];
    if (::pipe(out) != 0)
        return QStringLiteral("<child failed>");
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(out[0]);
#if defined(__x86_64__)
        constexpr unsigned kArch = AUDIT_ARCH_X86_64;
#elif defined(__aarch64__)
        constexpr unsigned kArch = AUDIT_ARCH_AARCH64;
#endif
        const unsigned kept = unsigned(out[1]);
        sock_filter filter[] = {
            BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
            BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, kArch, 1, 0),
            BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
            BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
            BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_write, 4, 0),
            BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_pwrite64, 3, 0),
            BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_writev, 2, 0),
            BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_pwritev, 1, 0),
            BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
            BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, args[0])),
            BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, kept, 2, 0),
            BPF_JUMP(BPF_JMP | BPF_JGE | BPF_K, 3, 0, 1),
            BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | ENOSPC),
            BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        };
        sock_fprog program{static_cast<unsigned short>(sizeof filter / sizeof filter[0]), filter};
        if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0
            || ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0)
            ::_exit(2);
        const QByteArray text = work().toUtf8();
        const ssize_t written = ::write(out[1], text.constData(), size_t(text.size()));
        ::_exit(written == text.size() ? 0 : 3);
    }
    ::close(out[1]);
    QByteArray text;
    char buffer[4096];
    for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) != 0;) {
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            break;
        text.append(buffer, n);
    }
    ::close(out[0]);
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return QStringLiteral("<child failed>");
    return QString::fromUtf8(text);
}

// While it lives, the calling thread obeys file permissions even as the
// superuser (its CAP_DAC_OVERRIDE is set aside), so a folder without write
// permission cannot be written.
class ObeyPermissions {
public:
    ObeyPermissions()
    {
        header_.version = _LINUX_CAPABILITY_VERSION_3;
        header_.pid = 0;
        if (::syscall(SYS_capget, &header_, saved_) != 0)
            return;
        __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
        reduced[0].effective &= ~(1u << CAP_DAC_OVERRIDE);
        changed_ = ::syscall(SYS_capset, &header_, reduced) == 0;
    }
    ~ObeyPermissions()
    {
        if (changed_)
            ::syscall(SYS_capset, &header_, saved_);
    }
    ObeyPermissions(const ObeyPermissions&) = delete;
    ObeyPermissions& operator=(const ObeyPermissions&) = delete;

private:
    __user_cap_header_struct header_{};
    __user_cap_data_struct saved_[2]{};
    bool changed_ = false;
};

} // namespace zarv::test
