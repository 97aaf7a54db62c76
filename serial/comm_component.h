#pragma once
#include <cstdint>
#include <functional>
#include <string>

// The abstract link through which the program talks to its device. One
// concrete link exists: the serial port component TVTSComm32.

// State of a link, in this order (stored files and handlers compare the
// numbers).
enum TCommState : uint8_t {
    CommStateFailed = 0,        // the link was lost, or opening it failed
    CommStateDisconnected = 1,  // closed on request, or never opened
    CommStateConnected = 2,     // open
    CommStateFirst = 3,         // nothing reported yet; in a report: "work it out now"
};

class VTixCommunicationComponent;

// Event types; Sender first. A received buffer belongs to the caller and
// is valid only during the call.
using TEventReceiveData =
    std::function<void(VTixCommunicationComponent* Sender, const char* Buffer, uint16_t BufferLength)>;
using TEventChangeState = std::function<void(VTixCommunicationComponent* Sender, TCommState State)>;
using TAdvancedEventReceiveData = std::function<void(
    VTixCommunicationComponent* Sender, void* Channel, const char* Buffer, uint16_t BufferLength)>;
using TAdvancedEventChangeState =
    std::function<void(VTixCommunicationComponent* Sender, void* Channel, TCommState State)>;

class VTixCommunicationComponent {
public:
    VTixCommunicationComponent();
    virtual ~VTixCommunicationComponent();
    VTixCommunicationComponent(const VTixCommunicationComponent&) = delete;
    VTixCommunicationComponent& operator=(const VTixCommunicationComponent&) = delete;

    // A serial port has one channel, its main channel: reported as nil
    // while this is true, as the component itself otherwise.
    bool TreatMainChannelAsNil = true;

    // Event properties, read and written through virtual accessors so that
    // a descendant can react when a handler is attached.
    virtual TEventReceiveData GetReceiveDataEvent() const;
    virtual void SetReceiveDataEvent(TEventReceiveData Handler);
    virtual TEventChangeState GetOnStateChange() const;
    virtual void SetOnStateChange(TEventChangeState Handler);
    virtual TAdvancedEventReceiveData GetAdvancedReceiveDataEvent() const;
    virtual void SetAdvancedReceiveDataEvent(TAdvancedEventReceiveData Handler);
    virtual TAdvancedEventChangeState GetOnAdvancedStateChange() const;
    virtual void SetOnAdvancedStateChange(TAdvancedEventChangeState Handler);

    virtual std::string GetConfigAsString() = 0;
    virtual void SetConfigAsString(const std::string& Config) = 0;
    // Opens the link; true when it is open.
    virtual bool StartComm() = 0;
    virtual void StopComm() = 0;
    // Queues Length bytes for sending; true when they were accepted.
    virtual bool WriteCommData(const char* Buffer, int32_t Length) = 0;
    // Writes only on the main channel (see TreatMainChannelAsNil).
    virtual bool WriteAdvancedCommData(void* Channel, const char* Buffer, int32_t Length);
    virtual bool Connected() const = 0;
    virtual TCommState ConnectionState() const = 0;
    // Shows a configuration dialog of the link; this base shows nothing.
    virtual bool ConfigDialog(bool Owned);

    // The characters of Text.
    bool WriteCommData(const std::string& Text);

    // Raises the receive events (OnReceiveData, then OnAdvancedReceiveData)
    // on the calling thread.
    void DoReceiveData(const char* Buffer, uint16_t Length);
    void DoAdvancedStateChange(void* Channel, TCommState State);

protected:
    TEventReceiveData OnReceiveData;
    TEventChangeState OnStateChange;
    TAdvancedEventReceiveData OnAdvancedReceiveData;
    TAdvancedEventChangeState OnAdvancedStateChange;
};
