#include "adapters/libftdi_adapter.h"

#include <ftdi.h>

#include <cstdlib>

#include "adapters/ftdi_adapters.h"

namespace quillon {

namespace {

class LibftdiAdapter final : public BitBangAdapter {
  public:
    LibftdiAdapter(ftdi_context* context, int fifo) : context_(context), fifo_(fifo) {}
    ~LibftdiAdapter() override {
        ftdi_usb_close(context_);
        ftdi_free(context_);
    }
    LibftdiAdapter(const LibftdiAdapter&) = delete;
    LibftdiAdapter& operator=(const LibftdiAdapter&) = delete;

    int set_latency_timer(std::uint8_t milliseconds) override {
        return ftdi_set_latency_timer(context_, milliseconds);
    }
    int set_bitmode(std::uint8_t output_mask, Mode mode) override {
        return ftdi_set_bitmode(context_, output_mask,
                                mode == Mode::SyncBitBang ? BITMODE_SYNCBB : BITMODE_RESET);
    }
    int set_baudrate(int rate) override { return ftdi_set_baudrate(context_, rate); }
    int purge_buffers() override {
        const int in = ftdi_tciflush(context_);
        const int out = ftdi_tcoflush(context_);
        return in < 0 ? in : out;
    }
    int write_data(const std::uint8_t* data, int size) override {
        return ftdi_write_data(context_, data, size);
    }
    int read_data(std::uint8_t* data, int size) override { return ftdi_read_data(context_, data, size); }
    std::string error_text() const override {
        const char* text = ftdi_get_error_string(context_);
        return text != nullptr ? text : "";
    }
    int fifo_size() const override { return fifo_; }

  private:
    ftdi_context* context_;
    int fifo_;
};

// libftdi's codes of ftdi_usb_open_desc and ftdi_usb_open_bus_addr.
PortErrorKind open_error_kind(int code) {
    switch (code) {
        case -3:  // device not found
            return PortErrorKind::NoSuchDevice;
        case -4:  // unable to open device: no permission on the node
            return PortErrorKind::PermissionDenied;
        case -5:  // unable to claim device: another program holds it
            return PortErrorKind::Busy;
        default:
            return PortErrorKind::Failed;
    }
}

}  // namespace

bool libftdi_built_in() {
    return true;
}

FtdiOpenResult open_libftdi_adapter(const UsbAdapterFacts& adapter) {
    const FtdiChipKind* kind = ftdi_chip_kind(adapter.usb_id);
    if (kind == nullptr)
        return failure(PortError{PortErrorKind::NoSuchDevice, adapter.usb_id + " is no FTDI adapter"});
    ftdi_context* context = ftdi_new();
    if (context == nullptr) return failure(PortError{PortErrorKind::Failed, "libftdi could not start"});
    ftdi_set_interface(context, INTERFACE_A);
    context->module_detach_mode = AUTO_DETACH_REATACH_SIO_MODULE;
    const int product = static_cast<int>(std::strtol(adapter.usb_id.c_str() + 5, nullptr, 16));
    int opened = 0;
    if (!adapter.serial.empty()) {
        opened = ftdi_usb_open_desc(context, 0x0403, product, nullptr, adapter.serial.c_str());
    } else {
        // /dev/bus/usb/BBB/DDD
        const std::string& node = adapter.device_node;
        const auto bus = static_cast<std::uint8_t>(
            std::atoi(node.substr(node.size() < 7 ? 0 : node.size() - 7, 3).c_str()));
        const auto address =
            static_cast<std::uint8_t>(std::atoi(node.substr(node.size() < 3 ? 0 : node.size() - 3).c_str()));
        opened = ftdi_usb_open_bus_addr(context, bus, address);
    }
    if (opened < 0) {
        PortError error{open_error_kind(opened), ftdi_get_error_string(context)};
        ftdi_free(context);
        return failure(std::move(error));
    }
    return std::make_unique<LibftdiAdapter>(context, kind->fifo);
}

}  // namespace quillon
