<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en_US">
<context>
    <name>CTralvoDlg</name>
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
        <source>Capture files (*.pcapng)</source>
        <translation>捕获文件 (*.pcapng)</translation>
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
    <message>
        <source>TX</source>
        <translation>发送</translation>
    </message>
    <message>
        <source>RX</source>
        <translation>接收</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>地址</translation>
    </message>
    <message>
        <source>Command</source>
        <translation>命令</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>结果</translation>
    </message>
    <message>
        <source>Decode</source>
        <translation>解码</translation>
    </message>
</context>
<context>
    <name>PortDlg</name>
    <message>
        <source>Communications Port</source>
        <translation>通信端口</translation>
    </message>
    <message>
        <source>Virtual Serial Port</source>
        <translation>虚拟串口</translation>
    </message>
    <message>
        <source>serial</source>
        <translation>序列号</translation>
    </message>
</context>
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
    <message>
        <source>The settings file %1 cannot be read. Tralvo uses its default settings and does not write over the file.</source>
        <translation>无法读取设置文件%1。Tralvo使用默认设置，不会覆盖该文件。</translation>
    </message>
</context>
<context>
    <name>Traffic</name>
    <message>
        <source>no frame</source>
        <translation>无帧</translation>
    </message>
    <message>
        <source>request</source>
        <translation>请求</translation>
    </message>
    <message>
        <source>answer</source>
        <translation>应答</translation>
    </message>
    <message>
        <source>answer (device in burst mode)</source>
        <translation>应答（设备处于突发模式）</translation>
    </message>
    <message>
        <source>burst</source>
        <translation>突发</translation>
    </message>
    <message>
        <source>other master&apos;s request</source>
        <translation>其他主站的请求</translation>
    </message>
    <message>
        <source>other master&apos;s request (primary)</source>
        <translation>其他主站的请求（第一主站）</translation>
    </message>
    <message>
        <source>unknown frame (delimiter 0x%02X)</source>
        <translation>未知帧（定界符 0x%02X）</translation>
    </message>
    <message>
        <source>poll address %u</source>
        <translation>轮询地址 %u</translation>
    </message>
    <message>
        <source>manufacturer %s, type %s, id %s</source>
        <translation>制造商 %s，类型 %s，ID %s</translation>
    </message>
    <message>
        <source>communication error</source>
        <translation>通信错误</translation>
    </message>
    <message>
        <source>communication error: %s</source>
        <translation>通信错误：%s</translation>
    </message>
    <message>
        <source>response %u %s</source>
        <translation>响应 %u %s</translation>
    </message>
    <message>
        <source>response %u</source>
        <translation>响应 %u</translation>
    </message>
    <message>
        <source>status ok</source>
        <translation>状态正常</translation>
    </message>
    <message>
        <source>status %s</source>
        <translation>状态 %s</translation>
    </message>
    <message>
        <source>%s %.6g (unit %u)</source>
        <translation>%s %.6g（单位 %u）</translation>
    </message>
    <message>
        <source>device type %s, universal revision %u, device revision %u, device id %s (older layout)</source>
        <translation>设备类型 %s，通用修订版 %u，设备修订版 %u，设备ID %s（旧格式）</translation>
    </message>
    <message>
        <source>manufacturer %s, device type %s, preambles %u, universal revision %u, device revision %u, device id %s</source>
        <translation>制造商 %s，设备类型 %s，前导码 %u，通用修订版 %u，设备修订版 %u，设备ID %s</translation>
    </message>
    <message>
        <source>loop current %.3f mA</source>
        <translation>回路电流 %.3f mA</translation>
    </message>
    <message>
        <source>tag &quot;%s&quot;</source>
        <translation>标签 &quot;%s&quot;</translation>
    </message>
    <message>
        <source>, descriptor &quot;%s&quot;</source>
        <translation>，描述符 &quot;%s&quot;</translation>
    </message>
    <message>
        <source>, date %04u-%02u-%02u</source>
        <translation>，日期 %04u-%02u-%02u</translation>
    </message>
    <message>
        <source>checksum good</source>
        <translation>校验和正确</translation>
    </message>
    <message>
        <source>checksum bad (0x%02X, should be 0x%02X)</source>
        <translation>校验和错误（0x%02X，应为 0x%02X）</translation>
    </message>
    <message>
        <source>no checksum</source>
        <translation>无校验和</translation>
    </message>
    <message>
        <source>cut short in the header</source>
        <translation>在帧头中截断</translation>
    </message>
    <message>
        <source>cut short: %u of %u data bytes</source>
        <translation>截断：%u / %u 个数据字节</translation>
    </message>
    <message>
        <source>%u preamble bytes</source>
        <translation>%u 个前导码字节</translation>
    </message>
    <message>
        <source>command %u %s</source>
        <translation>命令 %u %s</translation>
    </message>
    <message>
        <source>command %u</source>
        <translation>命令 %u</translation>
    </message>
    <message>
        <source>byte count %u</source>
        <translation>字节数 %u</translation>
    </message>
    <message>
        <source>data %s</source>
        <translation>数据 %s</translation>
    </message>
    <message>
        <source>%u more bytes after the checksum</source>
        <translation>校验和之后多 %u 个字节</translation>
    </message>
    <message>
        <source>result %u %s</source>
        <translation>结果 %u %s</translation>
    </message>
    <message>
        <source>checksum bad</source>
        <translation>校验和错误</translation>
    </message>
    <message>
        <source>incomplete</source>
        <translation>不完整</translation>
    </message>
    <message>
        <source>ok</source>
        <translation>正常</translation>
    </message>
    <message>
        <source>port error</source>
        <translation>端口错误</translation>
    </message>
    <message>
        <source>checksum mismatch</source>
        <translation>校验和不符</translation>
    </message>
    <message>
        <source>data incomplete</source>
        <translation>数据不完整</translation>
    </message>
    <message>
        <source>write incomplete</source>
        <translation>写入不完整</translation>
    </message>
    <message>
        <source>no reply</source>
        <translation>无应答</translation>
    </message>
    <message>
        <source>interrupted</source>
        <translation>已中断</translation>
    </message>
    <message>
        <source>already open</source>
        <translation>已打开</translation>
    </message>
    <message>
        <source>bad port number</source>
        <translation>端口号无效</translation>
    </message>
    <message>
        <source>bad baud rate</source>
        <translation>波特率无效</translation>
    </message>
    <message>
        <source>no buffer</source>
        <translation>无缓冲区</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>未知</translation>
    </message>
    <message>
        <source>echo discarded: %u bytes</source>
        <translation>已丢弃回波：%u 个字节</translation>
    </message>
    <message>
        <source>noise: %u bytes before the preamble</source>
        <translation>噪声：前导码之前 %u 个字节</translation>
    </message>
    <message>
        <source>noise: %u bytes without a frame</source>
        <translation>噪声：%u 个字节，无帧</translation>
    </message>
    <message>
        <source>echo dropped: %u bytes</source>
        <translation>已去除回波：%u 个字节</translation>
    </message>
    <message>
        <source>parity or framing error at frame byte %u</source>
        <translation>帧第 %u 个字节有奇偶校验或帧错误</translation>
    </message>
    <message>
        <source>parity or framing error at byte %u of the reception</source>
        <translation>接收的第 %u 个字节有奇偶校验或帧错误</translation>
    </message>
    <message>
        <source>incomplete frame: %u bytes</source>
        <translation>不完整帧：%u 个字节</translation>
    </message>
    <message>
        <source>bad checksum: %u bytes</source>
        <translation>校验和错误：%u 个字节</translation>
    </message>
    <message>
        <source>discarded after the reception: %u bytes</source>
        <translation>接收后丢弃：%u 个字节</translation>
    </message>
    <message>
        <source>Nothing came back, not even the echo of the requests: check that the modem is powered and connected, the loop power, and the 250 Ω load.</source>
        <translation>没有任何回应，连请求的回波也没有：请检查调制解调器是否通电并已连接、回路电源以及 250 Ω 负载电阻。</translation>
    </message>
    <message>
        <source>Only the echo of the requests came back: the modem sends, but no device answers. Check the device's polling address and the loop wiring.</source>
        <translation>只收到请求的回波：调制解调器在发送，但没有设备应答。请检查设备的轮询地址和回路接线。</translation>
    </message>
    <message>
        <source>Only noise came back, with no preamble: check the loop wiring and its shielding, and that the modem is connected across the 250 Ω load.</source>
        <translation>只收到噪声，没有前导码：请检查回路接线及其屏蔽，并确认调制解调器跨接在 250 Ω 负载电阻两端。</translation>
    </message>
    <message>
        <source>Replies came with bad checksums, cut short or with parity errors: noise on the loop, a second master, or wrong line settings.</source>
        <translation>收到的应答校验和错误、不完整或有奇偶校验错误：回路上有噪声、有第二个主站，或线路设置错误。</translation>
    </message>
    <message>
        <source>Answers came from another address than the one polled: check the device's polling address and what else is on the loop.</source>
        <translation>应答来自被轮询地址以外的地址：请检查设备的轮询地址以及回路上的其他设备。</translation>
    </message>
    <message>
        <source>The device answered busy: another master or a running command occupies it. Wait, then test again.</source>
        <translation>设备应答忙：另一个主站或正在执行的命令占用了它。请稍候再测试。</translation>
    </message>
    <message>
        <source>Link: %llu exchange, %llu answered (%llu after a retry), %llu no reply, %llu bad checksum, %llu incomplete, %llu with line errors, %llu busy</source>
        <translation>链路：%llu 次交换，%llu 次应答（%llu 次重试后应答），%llu 次无应答，%llu 次校验和错误，%llu 次不完整，%llu 次有线路错误，%llu 次忙</translation>
    </message>
    <message>
        <source>Link: %llu exchanges, %llu answered (%llu after a retry), %llu no reply, %llu bad checksum, %llu incomplete, %llu with line errors, %llu busy</source>
        <translation>链路：%llu 次交换，%llu 次应答（%llu 次重试后应答），%llu 次无应答，%llu 次校验和错误，%llu 次不完整，%llu 次有线路错误，%llu 次忙</translation>
    </message>
    <message>
        <source>; answer %llu/%llu/%llu ms (median/95%%/max)</source>
        <translation>；应答 %llu/%llu/%llu 毫秒（中位数/95%%/最大值）</translation>
    </message>
</context>
<context>
    <name>Troubleshooter</name>
    <message>
        <source>%1 also has it open, without the lock.</source>
        <translation>%1也打开了它，但没有持有锁。</translation>
    </message>
    <message>
        <source>The poll was cancelled.</source>
        <translation>轮询已取消。</translation>
    </message>
    <message>
        <source>You run as root, who may open %1.</source>
        <translation>您以root身份运行，可以打开%1。</translation>
    </message>
    <message>
        <source>You own %1 and may read and write it.</source>
        <translation>您是%1的所有者，可以读写它。</translation>
    </message>
    <message>
        <source>You are in group %1, which may read and write %2.</source>
        <translation>您在组%1中，该组可以读写%2。</translation>
    </message>
    <message>
        <source>Everyone may read and write %1.</source>
        <translation>所有人都可以读写%1。</translation>
    </message>
    <message>
        <source>Neither you nor group %1 may read and write %2.</source>
        <translation>您和组%1都不能读写%2。</translation>
    </message>
    <message>
        <source>Give the group access with: sudo chmod g+rw %1 (a udev rule with MODE=&quot;0660&quot; makes it last)</source>
        <translation>用以下命令给该组授权：sudo chmod g+rw %1（带有MODE=&quot;0660&quot;的udev规则可使其持久生效）</translation>
    </message>
    <message>
        <source>User %1 was added to group %2 (which owns %3), but this session started before that.</source>
        <translation>用户%1已被加入组%2（%3属于该组），但本次会话是在此之前开始的。</translation>
    </message>
    <message>
        <source>Log out and back in (or run: newgrp %1) so the group takes effect.</source>
        <translation>请注销并重新登录（或运行：newgrp %1），使该组生效。</translation>
    </message>
    <message>
        <source>User %1 is not in group %2, which owns %3.</source>
        <translation>用户%1不在组%2中，%3属于该组。</translation>
    </message>
    <message>
        <source>sudo usermod -aG %1 $USER, then log out and back in.</source>
        <translation>sudo usermod -aG %1 $USER，然后注销并重新登录。</translation>
    </message>
    <message>
        <source>PASS</source>
        <translation>通过</translation>
    </message>
    <message>
        <source>FAIL</source>
        <translation>失败</translation>
    </message>
    <message>
        <source>INFO</source>
        <translation>信息</translation>
    </message>
    <message>
        <source>N/A</source>
        <translation>不适用</translation>
    </message>
    <message>
        <source>Device</source>
        <translation>设备</translation>
    </message>
    <message>
        <source>Access</source>
        <translation>访问权限</translation>
    </message>
    <message>
        <source>Other users of the port</source>
        <translation>端口的其他使用者</translation>
    </message>
    <message>
        <source>Services that grab serial ports</source>
        <translation>占用串口的服务</translation>
    </message>
    <message>
        <source>Open at 1200 baud 8O1</source>
        <translation>以1200波特8O1打开</translation>
    </message>
    <message>
        <source>HART identity poll at address 0</source>
        <translation>地址0的HART身份轮询</translation>
    </message>
    <message>
        <source>%1 is the kernel console, so it is left alone: a modem is not on it.</source>
        <translation>%1是内核控制台，因此不使用它：调制解调器不在上面。</translation>
    </message>
    <message>
        <source>Choose the port of the modem (ls -l /dev/ttyUSB* /dev/ttyACM*).</source>
        <translation>请选择调制解调器的端口（ls -l /dev/ttyUSB* /dev/ttyACM*）。</translation>
    </message>
    <message>
        <source>%1 does not stand for any device on Linux.</source>
        <translation>%1在Linux上不对应任何设备。</translation>
    </message>
    <message>
        <source>Choose a port the list shows, or link a device to it: ln -s /dev/ttyUSB0 %1</source>
        <translation>请选择列表中显示的端口，或将设备链接到它：ln -s /dev/ttyUSB0 %1</translation>
    </message>
    <message>
        <source>%1 is the link %2, which points to %3, and that does not exist.</source>
        <translation>%1是链接%2，它指向%3，而该目标不存在。</translation>
    </message>
    <message>
        <source>nothing</source>
        <translation>空</translation>
    </message>
    <message>
        <source>Start the virtual port again (e.g. tralvo-sim --link %1), or remove the stale link: rm %2</source>
        <translation>请重新启动虚拟端口（例如 tralvo-sim --link %1），或删除失效的链接：rm %2</translation>
    </message>
    <message>
        <source>%1 is the link %2 to %3, which is not a serial port.</source>
        <translation>%1是指向%3的链接%2，而%3不是串口。</translation>
    </message>
    <message>
        <source>Point the link at the modem&apos;s port: ln -sfn /dev/ttyUSB0 %1</source>
        <translation>请将链接指向调制解调器的端口：ln -sfn /dev/ttyUSB0 %1</translation>
    </message>
    <message>
        <source>%1 is the link %2 to %3, which exists.</source>
        <translation>%1是指向%3的链接%2，目标存在。</translation>
    </message>
    <message>
        <source>%1 is %2, which does not exist: the modem may be unplugged or have come up under another number.</source>
        <translation>%1是%2，但它不存在：调制解调器可能已拔出，或以另一个编号出现。</translation>
    </message>
    <message>
        <source>Plug the modem in, look for it with: ls -l /dev/ttyUSB* /dev/ttyACM*, and choose the port it shows.</source>
        <translation>请插入调制解调器，用 ls -l /dev/ttyUSB* /dev/ttyACM* 查找它，并选择显示的端口。</translation>
    </message>
    <message>
        <source>%1 is %2, which is not a serial port.</source>
        <translation>%1是%2，它不是串口。</translation>
    </message>
    <message>
        <source>%1 is %2, which exists.</source>
        <translation>%1是%2，设备存在。</translation>
    </message>
    <message>
        <source>Tralvo cannot poll above COM255.</source>
        <translation>Tralvo无法轮询COM255以上的端口。</translation>
    </message>
    <message>
        <source>The link could not open COM%1 (code %2).</source>
        <translation>链路无法打开COM%1（代码%2）。</translation>
    </message>
    <message>
        <source>Fix the checks above first.</source>
        <translation>请先解决上面各项检查的问题。</translation>
    </message>
    <message>
        <source>No device answered at polling address 0.</source>
        <translation>轮询地址0没有设备应答。</translation>
    </message>
    <message>
        <source>Check the modem&apos;s loop connection, loop power and the 250 ohm load; a device at another address is found by the network poll in Tralvo.</source>
        <translation>请检查调制解调器的回路连接、回路电源和250欧姆负载；位于其他地址的设备可用Tralvo的网络轮询找到。</translation>
    </message>
    <message>
        <source>A device answered: manufacturer %1, device type %2, HART ID %3.</source>
        <translation>有设备应答：制造商%1，设备类型%2，HART ID %3。</translation>
    </message>
    <message>
        <source>%1 is locked by a process this user cannot see.</source>
        <translation>%1被当前用户看不到的进程锁定。</translation>
    </message>
    <message>
        <source>Find it with: sudo fuser -v %1, then close that program.</source>
        <translation>用 sudo fuser -v %1 找到它，然后关闭该程序。</translation>
    </message>
    <message>
        <source>those programs</source>
        <translation>这些程序</translation>
    </message>
    <message>
        <source>%1 is locked and held open by %2.</source>
        <translation>%1已被锁定，并被%2占用。</translation>
    </message>
    <message>
        <source>Close %1, or end it with: kill%2</source>
        <translation>请关闭%1，或用以下命令结束它：kill%2</translation>
    </message>
    <message>
        <source>%1 is not locked and no other process has it open.</source>
        <translation>%1未被锁定，也没有其他进程打开它。</translation>
    </message>
    <message>
        <source>%1 opens for Tralvo, but %2 also has it open and may read what the device sends.</source>
        <translation>Tralvo可以打开%1，但%2也打开了它，可能会读走设备发送的数据。</translation>
    </message>
    <message>
        <source>The lock of %1 could not be probed; no other process has it open.</source>
        <translation>无法探测%1的锁；没有其他进程打开它。</translation>
    </message>
    <message>
        <source>The lock of %1 could not be probed; %2 has it open.</source>
        <translation>无法探测%1的锁；%2打开了它。</translation>
    </message>
    <message>
        <source>%1 processes of other users could not be looked at.</source>
        <translation>无法查看其他用户的%1个进程。</translation>
    </message>
    <message>
        <source>Its other end is held by %1, which is what Tralvo talks to.</source>
        <translation>它的另一端由%1持有，这正是Tralvo的通信对象。</translation>
    </message>
    <message>
        <source>Another program holds the port: see the check of other users above.</source>
        <translation>另一个程序占用了该端口：请参见上面对其他使用者的检查。</translation>
    </message>
    <message>
        <source>See the access check above.</source>
        <translation>请参见上面的访问权限检查。</translation>
    </message>
    <message>
        <source>Plug the modem in again; if it came up under another number, choose that port.</source>
        <translation>请重新插入调制解调器；如果它以另一个编号出现，请选择该端口。</translation>
    </message>
    <message>
        <source>Unplug and replug the modem; if that does not help, look at: sudo dmesg | tail</source>
        <translation>请拔出并重新插入调制解调器；如果仍无效，请查看：sudo dmesg | tail</translation>
    </message>
    <message>
        <source>%1 does not open: %2.</source>
        <translation>%1无法打开：%2。</translation>
    </message>
    <message>
        <source>%1 opens but refuses 1200 baud 8O1: %2.</source>
        <translation>%1可以打开，但不接受1200波特8O1：%2。</translation>
    </message>
    <message>
        <source>%1 opens at 1200 baud 8O1; it is a virtual port without modem lines (RTS, DTR).</source>
        <translation>%1以1200波特8O1打开；它是没有调制解调器控制线（RTS、DTR）的虚拟端口。</translation>
    </message>
    <message>
        <source>%1 opens at 1200 baud 8O1, but RTS or DTR cannot be set.</source>
        <translation>%1以1200波特8O1打开，但无法设置RTS或DTR。</translation>
    </message>
    <message>
        <source>Use a modem or adapter with RTS control; some three-wire USB adapters lack it.</source>
        <translation>请使用支持RTS控制的调制解调器或适配器；某些三线USB适配器不支持。</translation>
    </message>
    <message>
        <source>%1 opens at 1200 baud 8O1, and RTS and DTR can be set.</source>
        <translation>%1以1200波特8O1打开，并且可以设置RTS和DTR。</translation>
    </message>
    <message>
        <source>Tralvo COM troubleshooter: %1</source>
        <translation>Tralvo COM故障排除：%1</translation>
    </message>
    <message>
        <source>Fix: %1</source>
        <translation>解决方法：%1</translation>
    </message>
    <message>
        <source>All checks passed.</source>
        <translation>所有检查均已通过。</translation>
    </message>
    <message>
        <source>1 check failed.</source>
        <translation>1项检查失败。</translation>
    </message>
    <message>
        <source>%1 checks failed.</source>
        <translation>%1项检查失败。</translation>
    </message>
    <message>
        <source>No port is chosen and none was found; name one with --port N.</source>
        <translation>未选择端口，也未找到端口；请用 --port N 指定一个。</translation>
    </message>
    <message>
        <source>sudo systemctl stop ModemManager (and: sudo systemctl disable ModemManager, or a udev rule with ENV{ID_MM_DEVICE_IGNORE}=&quot;1&quot; for the modem)</source>
        <translation>sudo systemctl stop ModemManager（并且：sudo systemctl disable ModemManager，或为调制解调器添加带有ENV{ID_MM_DEVICE_IGNORE}=&quot;1&quot;的udev规则）</translation>
    </message>
    <message>
        <source>sudo systemctl stop brltty-udev.service brltty.service (or, without a braille display: sudo apt remove brltty)</source>
        <translation>sudo systemctl stop brltty-udev.service brltty.service（如果没有盲文显示器，也可以：sudo apt remove brltty）</translation>
    </message>
    <message>
        <source>%1 is running but does not have %2 open now.</source>
        <translation>%1正在运行，但目前没有打开%2。</translation>
    </message>
    <message>
        <source>%1 is running; whether it has %2 open cannot be seen without root.</source>
        <translation>%1正在运行；没有root权限无法看出它是否打开了%2。</translation>
    </message>
    <message>
        <source>%1 is running and may open or probe serial ports.</source>
        <translation>%1正在运行，可能会打开或探测串口。</translation>
    </message>
    <message>
        <source>udev tells it to leave this device alone (ID_MM_DEVICE_IGNORE).</source>
        <translation>udev已告诉它不要使用此设备（ID_MM_DEVICE_IGNORE）。</translation>
    </message>
    <message>
        <source>It may probe the port when the modem is plugged in; a udev rule with ENV{ID_MM_DEVICE_IGNORE}=&quot;1&quot; keeps it away.</source>
        <translation>插入调制解调器时它可能会探测该端口；带有ENV{ID_MM_DEVICE_IGNORE}=&quot;1&quot;的udev规则可以让它避开。</translation>
    </message>
    <message>
        <source> and </source>
        <translation>和</translation>
    </message>
    <message>
        <source>%1 has %2 open now and takes what the modem sends.</source>
        <translation>%1目前打开了%2，会拿走调制解调器发送的数据。</translation>
    </message>
    <message>
        <source>%1 is installed but not running, so it holds no port now.</source>
        <translation>%1已安装但未运行，因此目前没有占用端口。</translation>
    </message>
    <message>
        <source>Neither ModemManager nor brltty is running.</source>
        <translation>ModemManager和brltty都没有运行。</translation>
    </message>
    <message>
        <source>There is no device to check.</source>
        <translation>没有可检查的设备。</translation>
    </message>
    <message>
        <source>The device could not be examined.</source>
        <translation>无法检查该设备。</translation>
    </message>
    <message>
        <source>There is no device to open.</source>
        <translation>没有可打开的设备。</translation>
    </message>
    <message>
        <source>The port does not open, so nothing can be polled.</source>
        <translation>端口无法打开，因此无法轮询。</translation>
    </message>
    <message>
        <source>Driver</source>
        <translation>驱动程序</translation>
    </message>
    <message>
        <source>Unplug and replug the modem; if that does not help, look at the port in Device Manager.</source>
        <translation>拔下并重新插上调制解调器；如果仍然无效，请在设备管理器中查看该端口。</translation>
    </message>
    <message>
        <source>%1 is in use by another program: %2.</source>
        <translation>%1正被其他程序使用：%2。</translation>
    </message>
    <message>
        <source>Close the program that uses %1 (another Tralvo, a terminal program, a modem&apos;s setup tool) and run the checks again.</source>
        <translation>关闭正在使用%1的程序（另一个Tralvo、终端程序、调制解调器的设置工具），然后重新运行检查。</translation>
    </message>
    <message>
        <source>%1 is not there: %2.</source>
        <translation>%1不存在：%2。</translation>
    </message>
    <message>
        <source>The system lists %1 as &quot;%2&quot;.</source>
        <translation>系统将%1列为“%2”。</translation>
    </message>
    <message>
        <source>%1 leads to %2, though the system&apos;s list of ports does not show it.</source>
        <translation>%1指向%2，但系统的端口列表中没有显示它。</translation>
    </message>
    <message>
        <source>The system has no %1: the modem may be unplugged or have come up under another number.</source>
        <translation>系统中没有%1：调制解调器可能已拔下，或以其他编号出现。</translation>
    </message>
    <message>
        <source>Plug the modem in, look for it under &quot;Ports (COM &amp; LPT)&quot; in Device Manager, and choose the port it shows.</source>
        <translation>插上调制解调器，在设备管理器的“端口 (COM 和 LPT)”下找到它，然后选择显示的端口。</translation>
    </message>
    <message>
        <source>The system&apos;s list of ports does not show the port, so nothing is known of its driver.</source>
        <translation>系统的端口列表中没有显示该端口，因此无法得知其驱动程序。</translation>
    </message>
    <message>
        <source>driver %1</source>
        <translation>驱动程序 %1</translation>
    </message>
    <message>
        <source>manufacturer %1</source>
        <translation>制造商 %1</translation>
    </message>
    <message>
        <source>USB id %1</source>
        <translation>USB标识 %1</translation>
    </message>
    <message>
        <source>the system names no driver</source>
        <translation>系统未给出驱动程序</translation>
    </message>
    <message>
        <source>A device answers to %1, though the system&apos;s list of ports does not show it.</source>
        <translation>有设备响应%1，但系统的端口列表中没有显示它。</translation>
    </message>
</context>
<context>
    <name>TroubleshooterWindow</name>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Running</source>
        <translation>运行中</translation>
    </message>
    <message>
        <source>Polling the device at address 0; Cancel stops it.</source>
        <translation>正在轮询地址0的设备；按取消可停止。</translation>
    </message>
    <message>
        <source>Also poll a HART device at address 0</source>
        <translation>同时轮询地址0的HART设备</translation>
    </message>
    <message>
        <source>Tralvo COM Troubleshooter</source>
        <translation>Tralvo COM故障排除</translation>
    </message>
    <message>
        <source>Run checks</source>
        <translation>运行检查</translation>
    </message>
    <message>
        <source>Copy report</source>
        <translation>复制报告</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>结果</translation>
    </message>
    <message>
        <source>Check</source>
        <translation>检查项</translation>
    </message>
    <message>
        <source>Finding</source>
        <translation>发现</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>端口：</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a port. Type COM and a number from 1 to 255, for example COM33.</source>
        <translation>“%1”不是端口。请输入COM加1到255之间的数字，例如COM33。</translation>
    </message>
    <message>
        <source>Fix: %1</source>
        <translation>解决方法：%1</translation>
    </message>
    <message>
        <source>Type a port: COM and a number from 1 to 255, for example COM33.</source>
        <translation>请输入端口：COM加1到255之间的数字，例如COM33。</translation>
    </message>
</context>
</TS>
