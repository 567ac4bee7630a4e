// File modes that hold for the test even when it runs as the superuser, who otherwise writes
// into read-only files and folders: while a ModesObeyed lives, the process lacks the powers
// that pass over a file's mode, and gets them back at its end.
#pragma once

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

class ModesObeyed
{
  public:
    ModesObeyed()
    {
        held_ = syscall(SYS_capget, &header_, saved_) == 0;
        if (!held_)
            return;
        __user_cap_data_struct lowered[2] = {saved_[0], saved_[1]};
        lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        syscall(SYS_capset, &header_, lowered);
    }
    ~ModesObeyed()
    {
        if (held_)
            syscall(SYS_capset, &header_, saved_);
    }
    ModesObeyed(const ModesObeyed&) = delete;
    ModesObeyed& operator=(const ModesObeyed&) = delete;

  private:
    __user_cap_header_struct header_ = {_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2] = {};
    bool held_ = false;
};
