#pragma once
// Real file-system faults for tests, without mounting anything: a disk that
// is full or read-only for a child process, and a folder that even the
// superuser cannot write into.
#include <QByteArray>
#include <QString>

#include <cerrno>
#include <cstddef>
#include <fcntl.h>
#include <functional>
#include <linux/audit.h>
#include <linux/capability.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// AddressSanitizer checks memory by writing to a pipe of its own, which the
// full-disk filter below refuses as well; builds with it skip the disk faults.
#if defined(__SANITIZE_ADDRESS__)
#define ZARV_SKIP_UNLESS_DISK_FAULTS_CAN_BE_FAKED() GTEST_SKIP() << "the sanitizer's own writes would fail too"
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZARV_SKIP_UNLESS_DISK_FAULTS_CAN_BE_FAKED() GTEST_SKIP() << "the sanitizer's own writes would fail too"
#endif
#endif
#ifndef ZARV_SKIP_UNLESS_DISK_FAULTS_CAN_BE_FAKED
#define ZARV_SKIP_UNLESS_DISK_FAULTS_CAN_BE_FAKED() static_cast<void>(0)
#endif

namespace zarv::test {

// A seccomp program that refuses chosen system calls with one error number
// and allows everything else.
class Refusals {
public:
    explicit Refusals(int error) : error_(error)
    {
#if defined(__x86_64__)
        constexpr unsigned kArch = AUDIT_ARCH_X86_64;
#elif defined(__aarch64__)
        constexpr unsigned kArch = AUDIT_ARCH_AARCH64;
#endif
        code_ = {
            BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
            BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, kArch, 1, 0),
            BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
            BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        };
    }
    // Every call of nr.
    Refusals& always(long nr)
    {
        code_.insert(code_.end(), {BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, unsigned(nr), 0, 1), refuse()});
        return *this;
    }
    // Calls of nr whose argument arg has any of bits set (open flags, access modes).
    Refusals& withBits(long nr, int arg, unsigned bits)
    {
        code_.insert(code_.end(), {BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, unsigned(nr), 0, 4), argument(arg),
                                   BPF_JUMP(BPF_JMP | BPF_JSET | BPF_K, bits, 0, 1), refuse(), allow()});
        return *this;
    }
    // Calls of nr on any file descriptor past the standard streams but kept.
    Refusals& onFilesBut(long nr, unsigned kept)
    {
        code_.insert(code_.end(), {BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, unsigned(nr), 0, 5), argument(0),
                                   BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, kept, 2, 0),
                                   BPF_JUMP(BPF_JMP | BPF_JGE | BPF_K, 3, 0, 1), refuse(), allow()});
        return *this;
    }
    // Puts the program in force for the calling process and its children.
    bool install()
    {
        code_.push_back(allow());
        sock_fprog program{static_cast<unsigned short>(code_.size()), code_.data()};
        return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0
               && ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
    }

private:
    static sock_filter argument(int arg)
    {
        return BPF_STMT(BPF_LD | BPF_W | BPF_ABS, unsigned(offsetof(seccomp_data, args) + 8 * arg));
    }
    sock_filter refuse() const { return BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | unsigned(error_)); }
    static sock_filter allow() { return BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW); }

    int error_;
    std::vector<sock_filter> code_;
};

// Runs work in a child process under the refusals that refusalsFor gives (it
// is told the descriptor the child reports through) and returns the text work
// returned; "<child failed>" when the child did not finish.
inline QString inChildRefusing(const std::function<Refusals(unsigned reportFd)>& refusalsFor,
                               const std::function<QString()>& work)
{
    int out[2];
    if (::pipe(out) != 0)
        return QStringLiteral("<child failed>");
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(out[0]);
        if (!refusalsFor(unsigned(out[1])).install())
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

// work in a child process in which every write to a file fails with ENOSPC,
// as on a full disk (the standard streams still work).
inline QString withFullDisk(const std::function<QString()>& work)
{
    return inChildRefusing(
        [](unsigned reportFd) {
            Refusals r(ENOSPC);
            for (long nr : {__NR_write, __NR_pwrite64, __NR_writev, __NR_pwritev})
                r.onFilesBut(nr, reportFd);
            return r;
        },
        work);
}

// work in a child process that meets a read-only disk everywhere: opening a
// file for writing, asking for write access and every change to names or
// attributes fail with EROFS; reading works.
inline QString withReadOnlyDisk(const std::function<QString()>& work)
{
    return inChildRefusing(
        [](unsigned) {
            Refusals r(EROFS);
            const unsigned writing = O_WRONLY | O_RDWR | O_CREAT | O_TRUNC;
            r.withBits(__NR_openat, 2, writing).withBits(__NR_faccessat, 2, W_OK);
#ifdef __NR_faccessat2
            r.withBits(__NR_faccessat2, 2, W_OK);
#endif
#ifdef __NR_open
            r.withBits(__NR_open, 1, writing).withBits(__NR_access, 1, W_OK);
            for (long nr : {__NR_creat, __NR_rename, __NR_unlink, __NR_rmdir, __NR_mkdir, __NR_link, __NR_symlink,
                            __NR_chmod, __NR_chown, __NR_lchown, __NR_mknod})
                r.always(nr);
#endif
            for (long nr : {__NR_renameat, __NR_renameat2, __NR_unlinkat, __NR_mkdirat, __NR_linkat, __NR_symlinkat,
                            __NR_fchmodat, __NR_fchownat, __NR_fchmod, __NR_fchown, __NR_truncate, __NR_utimensat,
                            __NR_mknodat, __NR_setxattr, __NR_removexattr})
                r.always(nr);
            return r;
        },
        work);
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
