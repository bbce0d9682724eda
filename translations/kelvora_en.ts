<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
<context>
    <name>kelvora::ArchiveWindow</name>
    <message>
        <source>合格</source>
        <translation>Pass</translation>
    </message>
    <message>
        <source>不合格</source>
        <translation>Fail</translation>
    </message>
    <message>
        <source>过载</source>
        <translation>Overload</translation>
    </message>
    <message>
        <source>超过限值</source>
        <translation>Over limit</translation>
    </message>
    <message>
        <source>档案</source>
        <translation>Archive</translation>
    </message>
    <message>
        <source>打开档案…</source>
        <translation>Open archive…</translation>
    </message>
    <message>
        <source>合并档案…</source>
        <translation>Merge archive…</translation>
    </message>
    <message>
        <source>备份档案…</source>
        <translation>Back up archive…</translation>
    </message>
    <message>
        <source>导入记录 CSV…</source>
        <translation>Import records CSV…</translation>
    </message>
    <message>
        <source>报警阈值…</source>
        <translation>Flag threshold…</translation>
    </message>
    <message>
        <source>站点</source>
        <translation>Site</translation>
    </message>
    <message>
        <source>重命名站点…</source>
        <translation>Rename site…</translation>
    </message>
    <message>
        <source>导出站点历史…</source>
        <translation>Export site history…</translation>
    </message>
    <message>
        <source>测试点</source>
        <translation>Test point</translation>
    </message>
    <message>
        <source>重命名测试点…</source>
        <translation>Rename test point…</translation>
    </message>
    <message>
        <source>设定测试点限值…</source>
        <translation>Set point limit…</translation>
    </message>
    <message>
        <source>设为基准</source>
        <translation>Set as baseline</translation>
    </message>
    <message>
        <source>删除该次测试…</source>
        <translation>Delete this visit…</translation>
    </message>
    <message>
        <source>查找站点：</source>
        <translation>Find site:</translation>
    </message>
    <message>
        <source>站点名称</source>
        <translation>Site name</translation>
    </message>
    <message>
        <source>地点</source>
        <translation>Location</translation>
    </message>
    <message>
        <source>需关注</source>
        <translation>Flagged</translation>
    </message>
    <message>
        <source>最新值</source>
        <translation>Latest</translation>
    </message>
    <message>
        <source>日期</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>结论</source>
        <translation>Verdict</translation>
    </message>
    <message>
        <source>较基准</source>
        <translation>vs. baseline</translation>
    </message>
    <message>
        <source>标记</source>
        <translation>Flag</translation>
    </message>
    <message>
        <source>测试值</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>天气</source>
        <translation>Weather</translation>
    </message>
    <message>
        <source>土壤状况</source>
        <translation>Soil condition</translation>
    </message>
    <message>
        <source>较上次</source>
        <translation>vs. previous</translation>
    </message>
    <message>
        <source>没有打开档案：%1</source>
        <translation>No archive open: %1</translation>
    </message>
    <message>
        <source>档案（只读）：%1  ·  %2</source>
        <translation>Archive (read-only): %1  ·  %2</translation>
    </message>
    <message>
        <source>档案：%1  ·  报警阈值：较基准上升超过 %2 %</source>
        <translation>Archive: %1  ·  Flag threshold: risen more than %2 % above baseline</translation>
    </message>
    <message>
        <source>（基准）</source>
        <translation>(baseline)</translation>
    </message>
    <message>
        <source>选择一个测试点以查看其趋势</source>
        <translation>Choose a test point to see its trend</translation>
    </message>
    <message>
        <source>删除 %1 在 %2 的这次测试及其全部读数？
站点和测试点保留。</source>
        <translation>Delete the visit to %1 on %2 and all its readings?
The site and its test points stay.</translation>
    </message>
    <message>
        <source>删除该次测试</source>
        <translation>Delete visit</translation>
    </message>
    <message>
        <source>合并档案</source>
        <translation>Merge archive</translation>
    </message>
    <message>
        <source>从 %1 合并了 %2 次测试。</source>
        <translation>Merged %2 visit(s) from %1.</translation>
    </message>
    <message>
        <source>重命名站点</source>
        <translation>Rename site</translation>
    </message>
    <message>
        <source>站点名称：</source>
        <translation>Site name:</translation>
    </message>
    <message>
        <source>重命名测试点</source>
        <translation>Rename test point</translation>
    </message>
    <message>
        <source>测试点名称：</source>
        <translation>Test point name:</translation>
    </message>
    <message>
        <source>测试点限值</source>
        <translation>Test point limit</translation>
    </message>
    <message>
        <source>%1 的限值 (Ω)，留空则按每次测试的限值：</source>
        <translation>Limit of %1 (Ω); empty: each visit&apos;s own limit:</translation>
    </message>
    <message>
        <source>限值须为大于 0 的数。</source>
        <translation>The limit must be a number above 0.</translation>
    </message>
    <message>
        <source>报警阈值</source>
        <translation>Flag threshold</translation>
    </message>
    <message>
        <source>较基准上升超过此百分比时标记测试点 (%)：</source>
        <translation>Flag a test point that rises more than this above its baseline (%):</translation>
    </message>
    <message>
        <source>打开档案</source>
        <translation>Open archive</translation>
    </message>
    <message>
        <source>档案 (*.sqlite);;所有文件 (*)</source>
        <translation>Archive (*.sqlite);;All files (*)</translation>
    </message>
    <message>
        <source>无法打开档案 %1
%2</source>
        <translation>Cannot open the archive %1
%2</translation>
    </message>
    <message>
        <source>升幅超过阈值</source>
        <translation>Rise &gt; threshold</translation>
    </message>
    <message>
        <source>测试点数</source>
        <translation>Points</translation>
    </message>
    <message>
        <source>Kelvora 保存的记录 (*.csv);;所有文件 (*)</source>
        <translation>Records saved by Kelvora (*.csv);;All files (*)</translation>
    </message>
</context>
<context>
    <name>kelvora::Form1</name>
    <message>
        <source>欢迎使用我们公司产品</source>
        <translation>Welcome</translation>
    </message>
    <message>
        <source>   如需帮助请联系我们!</source>
        <translation>   For help, please contact us!</translation>
    </message>
    <message>
        <source>读取</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>清空</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>打印</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>串口状态</source>
        <translation>Port status</translation>
    </message>
    <message>
        <source>通信成功</source>
        <translation>Link OK</translation>
    </message>
    <message>
        <source>通信失败</source>
        <translation>Link failed</translation>
    </message>
    <message>
        <source>实时监控</source>
        <translation>Live reading</translation>
    </message>
    <message>
        <source>历史查询</source>
        <translation>Records</translation>
    </message>
    <message>
        <source>文件</source>
        <translation>File</translation>
    </message>
    <message>
        <source>操作</source>
        <translation>Actions</translation>
    </message>
    <message>
        <source>测试报告…</source>
        <translation>Test report…</translation>
    </message>
    <message>
        <source>记录图表</source>
        <translation>Record charts</translation>
    </message>
    <message>
        <source>关于软件</source>
        <translation>About</translation>
    </message>
    <message>
        <source>保存失败</source>
        <translation>Save failed</translation>
    </message>
    <message>
        <source>未能读取记录数。</source>
        <translation>The number of records could not be read.</translation>
    </message>
    <message>
        <source>以下记录未能读取：%1
共 %2 条。</source>
        <translation>These records could not be read: %1
%2 in all.</translation>
    </message>
    <message>
        <source>读取记录 %1/%2</source>
        <translation>Reading %1/%2</translation>
    </message>
    <message>
        <source>COM%1已打开</source>
        <translation>COM%1 open</translation>
    </message>
    <message>
        <source>COM%1被占用</source>
        <translation>COM%1 busy</translation>
    </message>
    <message>
        <source>COM%1无效</source>
        <translation>COM%1 invalid</translation>
    </message>
    <message>
        <source>COM%1未打开</source>
        <translation>COM%1 failed</translation>
    </message>
    <message>
        <source>文件打印出错.</source>
        <translation>The file could not be printed.</translation>
    </message>
    <message>
        <source>串口权限</source>
        <translation>Serial port access</translation>
    </message>
    <message>
        <source>当前用户没有打开串口 %1 的权限。

请把用户加入 dialout 组：
    sudo usermod -aG dialout $USER
然后注销并重新登录，新的组才会生效。</source>
        <translation>This user may not open the serial port %1.

Add the user to the dialout group:
    sudo usermod -aG dialout $USER
then log out and log in again for the group to take effect.</translation>
    </message>
    <message>
        <source>档案…</source>
        <translation>Archive…</translation>
    </message>
</context>
<context>
    <name>kelvora::Messages</name>
    <message>
        <source>电子表格写入失败</source>
        <translation>The workbook could not be written</translation>
    </message>
    <message>
        <source>没有可用的电子表格组件</source>
        <translation>No spreadsheet library is available</translation>
    </message>
    <message>
        <source>文件没有写完</source>
        <translation>The file was not written completely</translation>
    </message>
    <message>
        <source>不支持的字符集 %1</source>
        <translation>Unsupported character set %1</translation>
    </message>
    <message>
        <source>没有可保存的图片</source>
        <translation>There is no picture to save</translation>
    </message>
    <message>
        <source>没有可用的打印机。</source>
        <translation>No printer is available.</translation>
    </message>
    <message>
        <source>无法显示打印对话框。</source>
        <translation>The print dialog cannot be shown.</translation>
    </message>
    <message>
        <source>没有安装打印机。</source>
        <translation>No printer is installed.</translation>
    </message>
    <message>
        <source>无法写入打印文件：</source>
        <translation>Cannot write the print file: </translation>
    </message>
    <message>
        <source>无法开始打印</source>
        <translation>Printing cannot start</translation>
    </message>
    <message>
        <source>文件没有写完：%1</source>
        <translation>The file was not written completely: %1</translation>
    </message>
    <message>
        <source>无法替换文件：%1</source>
        <translation>Cannot replace the file: %1</translation>
    </message>
    <message>
        <source>没有选择文件</source>
        <translation>No file was chosen</translation>
    </message>
    <message>
        <source>无法加载 libxlsxwriter：</source>
        <translation>Cannot load libxlsxwriter: </translation>
    </message>
    <message>
        <source>无法创建工作簿</source>
        <translation>Cannot create the workbook</translation>
    </message>
    <message>
        <source>无法创建工作表</source>
        <translation>Cannot create the worksheet</translation>
    </message>
    <message>
        <source>没有给出文件名</source>
        <translation>No file name was given</translation>
    </message>
    <message>
        <source>%1 不是普通文件（设备、管道或文件夹），没有写入</source>
        <translation>%1 is not a regular file (a device, pipe or folder); nothing was written</translation>
    </message>
</context>
<context>
    <name>kelvora::RecordChartWindow</name>
    <message>
        <source>没有记录</source>
        <translation>No records</translation>
    </message>
    <message>
        <source>没有可保存的图表</source>
        <translation>There is no chart to save</translation>
    </message>
    <message>
        <source>打印机无法打印图表</source>
        <translation>The printer could not print the chart</translation>
    </message>
</context>
<context>
    <name>kelvora::ReportDialog</name>
    <message>
        <source>未能读取</source>
        <translation>Not read</translation>
    </message>
    <message>
        <source>测试报告</source>
        <translation>Test report</translation>
    </message>
    <message>
        <source>接地电阻限值</source>
        <translation>Earth resistance limit</translation>
    </message>
    <message>
        <source>各条记录的备注：</source>
        <translation>Notes on the records:</translation>
    </message>
    <message>
        <source>类型</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>读数</source>
        <translation>Reading</translation>
    </message>
    <message>
        <source>备注（电极、位置）</source>
        <translation>Note (electrode, location)</translation>
    </message>
    <message>
        <source>没有记录：请先读取记录，再生成报告。</source>
        <translation>No records: read the records first, then make the report.</translation>
    </message>
    <message>
        <source>保存 PDF…</source>
        <translation>Save PDF…</translation>
    </message>
    <message>
        <source>打印…</source>
        <translation>Print…</translation>
    </message>
    <message>
        <source>预览</source>
        <translation>Preview</translation>
    </message>
    <message>
        <source>正在生成报告…</source>
        <translation>Making the report…</translation>
    </message>
    <message>
        <source>打印机无法打印报告</source>
        <translation>The printer could not print the report</translation>
    </message>
    <message>
        <source>无法显示打印预览</source>
        <translation>The print preview cannot be shown</translation>
    </message>
    <message>
        <source>导入记录：%1</source>
        <translation>Import records: %1</translation>
    </message>
    <message>
        <source>测试点</source>
        <translation>Test point</translation>
    </message>
    <message>
        <source>存入档案</source>
        <translation>File in archive</translation>
    </message>
    <message>
        <source>请先填写工程名称：档案按工程保存各次测试。</source>
        <translation>Enter the project name first: the archive keeps each visit under its site.</translation>
    </message>
    <message>
        <source>没有存入档案：%1</source>
        <translation>Nothing was filed: %1</translation>
    </message>
    <message>
        <source>已存入档案：%1，%2，%3 条记录，其中 %4 条属于测试点。</source>
        <translation>Filed in the archive: %1, %2, %3 records, %4 of them at test points.</translation>
    </message>
    <message>
        <source>这些记录已在档案中（%1，%2），没有再次存入。</source>
        <translation>These records are in the archive already (%1, %2): nothing was filed again.</translation>
    </message>
    <message>
        <source>需关注的测试点：%1</source>
        <translation>Flagged test points: %1</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>导入记录</source>
        <translation>Import records</translation>
    </message>
</context>
<context>
    <name>kelvora::SaveTypes</name>
    <message>
        <source>PNG 图片(*.png)|*.png|PDF 文件(*.pdf)|*.pdf|</source>
        <translation>PNG picture (*.png)|*.png|PDF file (*.pdf)|*.pdf|</translation>
    </message>
    <message>
        <source>PDF 文件(*.pdf)|*.pdf|</source>
        <translation>PDF file (*.pdf)|*.pdf|</translation>
    </message>
    <message>
        <source>jpg格式 (*.jpg)|*.jpg|txt格式 (*.txt)|*.txt|</source>
        <translation>JPEG picture (*.jpg)|*.jpg|Text file (*.txt)|*.txt|</translation>
    </message>
    <message>
        <source>txt格式 (*.txt)|*.txt|excel格式 (*.xls)|*.xls|CSV 文件(*.csv)|*.csv|Excel 工作簿(*.xlsx)|*.xlsx|</source>
        <translation>Text file (*.txt)|*.txt|Excel 97-2003 workbook (*.xls)|*.xls|CSV file (*.csv)|*.csv|Excel workbook (*.xlsx)|*.xlsx|</translation>
    </message>
    <message>
        <source>CSV 文件(*.csv)|*.csv|Excel 工作簿(*.xlsx)|*.xlsx|</source>
        <translation>CSV file (*.csv)|*.csv|Excel workbook (*.xlsx)|*.xlsx|</translation>
    </message>
    <message>
        <source>档案(*.sqlite)|*.sqlite|</source>
        <translation>Archive (*.sqlite)|*.sqlite|</translation>
    </message>
</context>
<context>
    <name>kelvora::SoilModelPanel</name>
    <message>
        <source>%1层</source>
        <translation>%1-layer</translation>
    </message>
    <message>
        <source>去掉勾选的测点不参与拟合</source>
        <translation>Unticked points are left out of the fit</translation>
    </message>
    <message>
        <source>土壤模型：</source>
        <translation>Soil model:</translation>
    </message>
    <message>
        <source>测点（不勾选的不参与拟合）：</source>
        <translation>Points (unticked ones are left out of the fit):</translation>
    </message>
    <message>
        <source>（%1个测点）</source>
        <translation> (points: %1)</translation>
    </message>
    <message>
        <source>各模型的均方根误差：</source>
        <translation>RMS error of each model:</translation>
    </message>
    <message>
        <source>记录%1  %2 m  %3 Ωm</source>
        <translation>Record %1  %2 m  %3 Ωm</translation>
    </message>
</context>
<context>
    <name>kelvora::charts</name>
    <message>
        <source>记录号</source>
        <translation>Record no.</translation>
    </message>
    <message>
        <source>过载</source>
        <translation>Overload</translation>
    </message>
    <message>
        <source>ρ长度</source>
        <translation>ρ length</translation>
    </message>
    <message>
        <source>接地电阻</source>
        <translation>Earth resistance</translation>
    </message>
    <message>
        <source>土壤电阻率</source>
        <translation>Soil resistivity</translation>
    </message>
    <message>
        <source>地电压</source>
        <translation>Earth voltage</translation>
    </message>
    <message>
        <source>钳形电流</source>
        <translation>Clamp current</translation>
    </message>
    <message>
        <source>记录 %1</source>
        <translation>Record %1</translation>
    </message>
    <message>
        <source>过载 (OL)</source>
        <translation>Overload (OL)</translation>
    </message>
    <message>
        <source>（无法绘出的记录：%1）</source>
        <translation> (records that cannot be drawn: %1)</translation>
    </message>
    <message>
        <source>限值 %1 Ω</source>
        <translation>Limit %1 Ω</translation>
    </message>
    <message>
        <source>%1层模型</source>
        <translation>%1-layer model</translation>
    </message>
    <message>
        <source>电阻率随深度</source>
        <translation>Resistivity vs. depth</translation>
    </message>
    <message>
        <source>深度/m</source>
        <translation>Depth/m</translation>
    </message>
    <message>
        <source>需关注</source>
        <translation>Flagged</translation>
    </message>
    <message>
        <source>测试日期</source>
        <translation>Test date</translation>
    </message>
    <message>
        <source>基准阈值 %1 Ω</source>
        <translation>Baseline threshold %1 Ω</translation>
    </message>
</context>
<context>
    <name>kelvora::report</name>
    <message>
        <source>记录号</source>
        <translation>Record no.</translation>
    </message>
    <message>
        <source>超量程</source>
        <translation>Over range</translation>
    </message>
    <message>
        <source>ρ长度/m</source>
        <translation>ρ length/m</translation>
    </message>
    <message>
        <source>工程名称</source>
        <translation>Project</translation>
    </message>
    <message>
        <source>测试地点</source>
        <translation>Location</translation>
    </message>
    <message>
        <source>接地装置/测点说明</source>
        <translation>Electrode / test point</translation>
    </message>
    <message>
        <source>测试日期</source>
        <translation>Test date</translation>
    </message>
    <message>
        <source>测试人员</source>
        <translation>Tested by</translation>
    </message>
    <message>
        <source>审核人</source>
        <translation>Reviewed by</translation>
    </message>
    <message>
        <source>仪器型号</source>
        <translation>Instrument model</translation>
    </message>
    <message>
        <source>仪器编号</source>
        <translation>Instrument number</translation>
    </message>
    <message>
        <source>校准有效期</source>
        <translation>Calibration due</translation>
    </message>
    <message>
        <source>天气</source>
        <translation>Weather</translation>
    </message>
    <message>
        <source>气温 (°C)</source>
        <translation>Air temperature (°C)</translation>
    </message>
    <message>
        <source>土壤状况</source>
        <translation>Soil condition</translation>
    </message>
    <message>
        <source>备注</source>
        <translation>Remarks</translation>
    </message>
    <message>
        <source>Kelvora %1 · 报告生成于 %2</source>
        <translation>Kelvora %1 · report generated %2</translation>
    </message>
    <message>
        <source>第 %1 页 / 共 %2 页</source>
        <translation>Page %1 of %2</translation>
    </message>
    <message>
        <source>接地电阻测试报告</source>
        <translation>Earth Resistance Test Report</translation>
    </message>
    <message>
        <source>%1：</source>
        <translation>%1:</translation>
    </message>
    <message>
        <source>接地电阻限值：%1 Ω（读数不大于限值为合格）</source>
        <translation>Earth resistance limit: %1 Ω (a reading not above the limit passes)</translation>
    </message>
    <message>
        <source>概况</source>
        <translation>Summary</translation>
    </message>
    <message>
        <source>记录共 %1 条：接地电阻 %2 条，土壤电阻率 %3 条，地电压 %4 条，钳形电流 %5 条；未能读取 %6 条。</source>
        <translation>Records: %1 (earth resistance %2, soil resistivity %3, earth voltage %4, clamp current %5; not read %6).</translation>
    </message>
    <message>
        <source>另有 %1 条记录的测量方式无法识别，报告中没有它们的读数：%2。</source>
        <translation>Records whose measuring mode is not recognised, without readings in the report: %2 (%1 in all).</translation>
    </message>
    <message>
        <source>接地电阻：合格 %1 条，不合格 %2 条（其中超量程 %3 条）%4。</source>
        <translation>Earth resistance: %1 passed, %2 failed (%3 of them over range)%4.</translation>
    </message>
    <message>
        <source>；最大 R = %1（记录 %2）</source>
        <translation>; highest R = %1 (record %2)</translation>
    </message>
    <message>
        <source>接地电阻</source>
        <translation>Earth resistance</translation>
    </message>
    <message>
        <source>结论</source>
        <translation>Verdict</translation>
    </message>
    <message>
        <source>合格</source>
        <translation>Pass</translation>
    </message>
    <message>
        <source>不合格</source>
        <translation>Fail</translation>
    </message>
    <message>
        <source>土壤电阻率</source>
        <translation>Soil resistivity</translation>
    </message>
    <message>
        <source>a（ρ长度）</source>
        <translation>a (ρ length)</translation>
    </message>
    <message>
        <source>土壤模型：%1层，%2，%3 个测点。</source>
        <translation>Soil model: %1-layer, %2, points used: %3.</translation>
    </message>
    <message>
        <source>土壤模型：</source>
        <translation>Soil model: </translation>
    </message>
    <message>
        <source>地电压</source>
        <translation>Earth voltage</translation>
    </message>
    <message>
        <source>钳形电流</source>
        <translation>Clamp current</translation>
    </message>
    <message>
        <source>未能读取的记录</source>
        <translation>Records not read</translation>
    </message>
    <message>
        <source>以下记录未能从仪器读取，报告中没有它们的读数：%1（共 %2 条）。</source>
        <translation>These records could not be read from the meter; the report has no readings of them: %1 (%2 in all).</translation>
    </message>
    <message>
        <source>测试人员（签字）：</source>
        <translation>Tested by (signature):</translation>
    </message>
    <message>
        <source>审核人（签字）：</source>
        <translation>Reviewed by (signature):</translation>
    </message>
    <message>
        <source>无法生成 PDF</source>
        <translation>The PDF could not be made</translation>
    </message>
    <message>
        <source>请填写限值</source>
        <translation>Enter the limit</translation>
    </message>
    <message>
        <source>限值须为正数，最多两位小数</source>
        <translation>Must be a positive number with at most 2 decimals</translation>
    </message>
    <message>
        <source>限值须大于 0</source>
        <translation>The limit must be above 0</translation>
    </message>
    <message>
        <source>%1 的数值不是有限数</source>
        <translation>the number of %1 is not a finite number</translation>
    </message>
    <message>
        <source>%1 的数值为负</source>
        <translation>the number of %1 is negative</translation>
    </message>
    <message>
        <source>%1 的数值超出仪器所能显示</source>
        <translation>the number of %1 is more than the meter can show</translation>
    </message>
    <message>
        <source>%1 的文字不是读数</source>
        <translation>the text of %1 is not a reading</translation>
    </message>
    <message>
        <source>%1 的文字与数值不符</source>
        <translation>the text and the number of %1 disagree</translation>
    </message>
    <message>
        <source>记录 %1：%2</source>
        <translation>record %1: %2</translation>
    </message>
    <message>
        <source>以下记录的读数不可能出自仪器，没有判定：%1（共 %2 条）。</source>
        <translation>The readings of these records cannot have come from the meter and are not judged: %1 (%2 in all).</translation>
    </message>
    <message>
        <source>上次</source>
        <translation>Last</translation>
    </message>
    <message>
        <source>上次日期</source>
        <translation>Last date</translation>
    </message>
    <message>
        <source>变化</source>
        <translation>Change</translation>
    </message>
    <message>
        <source>测试点：%1</source>
        <translation>Test point: %1</translation>
    </message>
    <message>
        <source>超过限值 %1</source>
        <translation>above the limit of %1</translation>
    </message>
    <message>
        <source>比基准上升 %1（超过 %2）</source>
        <translation>risen %1 above its baseline (more than %2)</translation>
    </message>
    <message>
        <source>需关注：%1</source>
        <translation>Flagged: %1</translation>
    </message>
    <message>
        <source>；</source>
        <translation>; </translation>
    </message>
    <message>
        <source>限值大于仪器能显示的最大电阻 65535 KΩ，应是输错了</source>
        <translation>The limit is above the largest resistance the meter shows, 65535 KΩ: a typo?</translation>
    </message>
</context>
<context>
    <name>kelvora::soil</name>
    <message>
        <source>无法确定</source>
        <translation>undetermined</translation>
    </message>
    <message>
        <source>层</source>
        <translation>Layer</translation>
    </message>
    <message>
        <source>厚度/m</source>
        <translation>Thickness/m</translation>
    </message>
    <message>
        <source>均方根误差 %1%</source>
        <translation>RMS error %1%</translation>
    </message>
    <message>
        <source>%1层 %2%%3</source>
        <translation>%1-layer %2%%3</translation>
    </message>
    <message>
        <source>（未收敛）</source>
        <translation> (not converged)</translation>
    </message>
    <message>
        <source>测点的间距多达%1种（拟合至多%2种），应是几次测量混在一起：请去掉不属于本次测量的测点。</source>
        <translation>The points have %1 different spacings (a fit takes at most %2): several surveys seem mixed. Untick the points that do not belong to this survey.</translation>
    </message>
    <message>
        <source>测点不足：%1层模型至少需要%2个测点，现有%3个。</source>
        <translation>Too few points: a %1-layer model needs at least %2 points, there are %3.</translation>
    </message>
    <message>
        <source>%1层模型的拟合未收敛，结果不可用。</source>
        <translation>The fit of the %1-layer model did not converge; its result cannot be used.</translation>
    </message>
</context>
</TS>
