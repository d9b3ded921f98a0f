<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en_US">
<context>
    <name>Strings</name>
    <message>
        <source>&amp;About Tralvo...</source>
        <translation>关于Tralvo...</translation>
    </message>
    <message>
        <source>No devices at address 0.  Multi-drop Poll?</source>
        <translation>无设备地址为0。多点投票？</translation>
    </message>
    <message>
        <source>Error opening COM port</source>
        <translation>错误打开COM端口</translation>
    </message>
    <message>
        <source>COM Port Error</source>
        <translation>COM端口错误</translation>
    </message>
    <message>
        <source>Enter Com Port then press Poll</source>
        <translation>COM端口，然后按投票</translation>
    </message>
    <message>
        <source>Polling...</source>
        <translation>投票...</translation>
    </message>
    <message>
        <source>POLL</source>
        <translation>投票</translation>
    </message>
    <message>
        <source>Test Failed</source>
        <translation>测试失败</translation>
    </message>
    <message>
        <source>Test Pass, single device</source>
        <translation>测试通过，单一设备</translation>
    </message>
    <message>
        <source>Test Pass, multi-drop network</source>
        <translation>测试通过，多点网络</translation>
    </message>
    <message>
        <source>Multi-Drop</source>
        <translation>多点</translation>
    </message>
    <message>
        <source>Reading COM ports...</source>
        <translation>阅读COM端口...</translation>
    </message>
    <message>
        <source>Restart Program</source>
        <translation>重新启动程序</translation>
    </message>
    <message>
        <source>Language Change</source>
        <translation>语言的变化</translation>
    </message>
    <message>
        <source>The COM port stopped working. Check that the modem is plugged in, then poll again.</source>
        <translation>COM端口停止工作。请检查调制解调器是否已连接，然后重新投票。</translation>
    </message>
    <message>
        <source>This port is the system console, so Tralvo leaves it alone. Choose the port of the modem.</source>
        <translation>此端口是系统控制台，Tralvo不使用它。请选择调制解调器的端口。</translation>
    </message>
    <message>
        <source>The port does not take 1200 baud, 8 data bits, odd parity and 1 stop bit.</source>
        <translation>该端口不接受1200波特、8个数据位、奇校验和1个停止位。</translation>
    </message>
    <message>
        <source>The settings file %1 is not a regular file. Tralvo uses its default settings and leaves the file alone.</source>
        <translation>设置文件%1不是普通文件。Tralvo使用默认设置，不更改该文件。</translation>
    </message>
    <message>
        <source>The settings could not be saved to %1.</source>
        <translation>无法将设置保存到%1。</translation>
    </message>
    <message>
        <source>Test cancelled</source>
        <translation>测试已取消</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Address %1 of %2</source>
        <translation>地址 %1 / %2</translation>
    </message>
    <message>
        <source>%1: no such device. Is the modem plugged in?</source>
        <translation>%1：没有这个设备。调制解调器是否已连接？</translation>
    </message>
    <message>
        <source>%1: permission denied. Join the group %2 (sudo usermod -aG %2 $USER), then log in again.</source>
        <translation>%1：权限被拒绝。请加入组%2（sudo usermod -aG %2 $USER），然后重新登录。</translation>
    </message>
    <message>
        <source>%1 is held by %2 (PID %3).</source>
        <translation>%1被%2（PID %3）占用。</translation>
    </message>
    <message>
        <source>%1 is held by another program.</source>
        <translation>%1被其他程序占用。</translation>
    </message>
    <message>
        <source>%1 is not a serial port.</source>
        <translation>%1不是串口。</translation>
    </message>
    <message>
        <source>Troubleshoot...</source>
        <translation>故障排除...</translation>
    </message>
</context>
<context>
    <name>CTralvoDlg</name>
    <message>
        <source>Tralvo</source>
        <translation>Tralvo</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>出口</translation>
    </message>
    <message>
        <source>Poll HART Network</source>
        <translation>投票HART网络</translation>
    </message>
    <message>
        <source>Status:</source>
        <translation>状态:</translation>
    </message>
    <message>
        <source>HART Tag:</source>
        <translation>HART标签：</translation>
    </message>
    <message>
        <source>HART ID:</source>
        <translation>HART ID:</translation>
    </message>
    <message>
        <source>Modem Test</source>
        <translation>调制解调器测试</translation>
    </message>
    <message>
        <source>1. Set Com Port to Virtual Com Port Number.</source>
        <translation>1。设置COM端口连接到虚拟COM端口号。</translation>
    </message>
    <message>
        <source>3. Press &quot;Poll HART Network&quot; to test Modem.</source>
        <translation>3。按下“投票HART网络”，以测试调制解调器。</translation>
    </message>
    <message>
        <source>4. Test results under &quot;Status&quot;.  If successful,</source>
        <translation>4。“状态”下的测试结果。如果成功的话，</translation>
    </message>
    <message>
        <source>HART Tag and ID data shown.</source>
        <translation>HART标签和ID数据显示。</translation>
    </message>
    <message>
        <source>HART Addr:</source>
        <translation>HART地址：</translation>
    </message>
    <message>
        <source>PV</source>
        <translation>PV</translation>
    </message>
    <message>
        <source>PV Read</source>
        <translation>PV Read</translation>
    </message>
    <message>
        <source>Continuous</source>
        <translation>Continuous</translation>
    </message>
    <message>
        <source>Set COM Port</source>
        <translation>设置COM端口</translation>
    </message>
    <message>
        <source>2. Connect modem to HART device.</source>
        <translation>2。HART设备连接调制解调器。</translation>
    </message>
    <message>
        <source>Com Troubleshooter</source>
        <translation>通讯疑难排解</translation>
    </message>
    <message>
        <source>COM Port</source>
        <translation>COM端口</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>语</translation>
    </message>
    <message>
        <source>English</source>
        <translation>英文 (English)</translation>
    </message>
    <message>
        <source>Chinese</source>
        <translation>中国的</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>帮助</translation>
    </message>
    <message>
        <source>About</source>
        <translation>关于</translation>
    </message>
    <message>
        <source>View</source>
        <translation>视图</translation>
    </message>
    <message>
        <source>Line traffic</source>
        <translation>线路通信</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>时间</translation>
    </message>
    <message>
        <source>Direction</source>
        <translation>方向</translation>
    </message>
    <message>
        <source>Frame</source>
        <translation>帧</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>复制</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>清除</translation>
    </message>
    <message>
        <source>Save as text...</source>
        <translation>另存为文本...</translation>
    </message>
    <message>
        <source>Save as pcap...</source>
        <translation>另存为pcap...</translation>
    </message>
    <message>
        <source>Save as text</source>
        <translation>另存为文本</translation>
    </message>
    <message>
        <source>Save as pcap</source>
        <translation>另存为pcap</translation>
    </message>
    <message>
        <source>Text files (*.txt)</source>
        <translation>文本文件 (*.txt)</translation>
    </message>
    <message>
        <source>Capture files (*.pcap)</source>
        <translation>捕获文件 (*.pcap)</translation>
    </message>
    <message>
        <source>%1 frames</source>
        <translation>%1 帧</translation>
    </message>
    <message>
        <source>%1 frames, older ones dropped</source>
        <translation>%1 帧，较早的已丢弃</translation>
    </message>
    <message>
        <source>Could not write %1.</source>
        <translation>无法写入 %1。</translation>
    </message>
    <message>
        <source>HART ID %1
manufacturer %2, device type %3, universal revision %4</source>
        <translation>HART ID %1
制造商 %2，设备类型 %3，通用修订版 %4</translation>
    </message>
</context>
</TS>
