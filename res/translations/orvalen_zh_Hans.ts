<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>Orvalen</name>
    <message>
        <source>%1: no control characters</source>
        <extracomment>Tooltip when pasted text held control characters, which were left out. %1 is the field&apos;s label without its colon.</extracomment>
        <translation>%1：不接受控制字符</translation>
    </message>
    <message>
        <source>%1 has no character for %2</source>
        <extracomment>Tooltip when a typed character cannot be written in the player&apos;s code page. %1 is the code page (&quot;GBK&quot;), %2 the character.</extracomment>
        <translation>%1 中没有字符“%2”</translation>
    </message>
    <message>
        <source>Unknown code page &quot;%1&quot; given with --encoding; try --encoding GBK.</source>
        <extracomment>Error at start-up. %1 is the name given after --encoding; the option and GBK are typed as they stand.</extracomment>
        <translation>--encoding 给出的代码页“%1”未知；请试试 --encoding GBK。</translation>
    </message>
    <message>
        <source>Name</source>
        <extracomment>Import dialog, header of the column of contacts&apos; names.</extracomment>
        <translation>姓名</translation>
    </message>
    <message>
        <source>Mobile</source>
        <extracomment>Import dialog, header of the column of mobile numbers.</extracomment>
        <translation>手机</translation>
    </message>
    <message>
        <source>Telephone</source>
        <extracomment>Import dialog, header of the column of (landline) telephone numbers.</extracomment>
        <translation>电话</translation>
    </message>
    <message>
        <source>E-mail</source>
        <extracomment>Import dialog, header of the column of e-mail addresses.</extracomment>
        <translation>电子邮件</translation>
    </message>
    <message>
        <source>QQ</source>
        <extracomment>Import dialog, header of the column of QQ (instant messenger) numbers; QQ is a name.</extracomment>
        <translation>QQ</translation>
    </message>
    <message>
        <source>Fax</source>
        <extracomment>Import dialog, header of the column of fax numbers.</extracomment>
        <translation>传真</translation>
    </message>
    <message>
        <source>In book</source>
        <extracomment>Import dialog, header of a narrow column marking contacts whose name is already in the phone book; keep it short.</extracomment>
        <translation>已有</translation>
    </message>
    <message>
        <source>Update with their details</source>
        <extracomment>Import dialog, choice for contacts whose name is already in the phone book: fill in the details the file has, keep the others.</extracomment>
        <translation>用文件中的信息更新</translation>
    </message>
    <message>
        <source>Skip them</source>
        <extracomment>Import dialog, choice for contacts whose name is already in the phone book: leave them.</extracomment>
        <translation>跳过</translation>
    </message>
    <message>
        <source>Add them as well</source>
        <extracomment>Import dialog, choice for contacts whose name is already in the phone book: add a second contact of the same name.</extracomment>
        <translation>仍然添加</translation>
    </message>
    <message>
        <source>This name is already in the phone book.</source>
        <extracomment>Import dialog, tooltip of a contact whose name is already in the book.</extracomment>
        <translation>电话本中已有此姓名。</translation>
    </message>
    <message>
        <source>yes</source>
        <extracomment>Import dialog, the mark in the &quot;In book&quot; column.</extracomment>
        <translation>是</translation>
    </message>
    <message>
        <source>导入联系人</source>
        <extracomment>Title of the dialog that picks contacts to import from a vCard or CSV file.</extracomment>
        <translation>导入联系人</translation>
    </message>
    <message>
        <source>&amp;Search:</source>
        <extracomment>Import dialog, label of the box that filters the contacts shown; &amp; marks the mnemonic.</extracomment>
        <translation>搜索(&amp;S)：</translation>
    </message>
    <message>
        <source>Select &amp;all</source>
        <extracomment>Import dialog, button that ticks every contact shown; &amp; marks the mnemonic.</extracomment>
        <translation>全选(&amp;A)</translation>
    </message>
    <message>
        <source>Select &amp;none</source>
        <extracomment>Import dialog, button that unticks every contact shown; &amp; marks the mnemonic.</extracomment>
        <translation>全不选(&amp;N)</translation>
    </message>
    <message>
        <source>撤销(&amp;U)</source>
        <extracomment>Item of the window&apos;s menu (right click, or the title bar&apos;s menu) that undoes the last command; &amp; marks the mnemonic.</extracomment>
        <translation>撤销(&amp;U)</translation>
    </message>
    <message>
        <source>重做(&amp;R)</source>
        <extracomment>Item of the window&apos;s menu that does again the command last undone; &amp; marks the mnemonic.</extracomment>
        <translation>重做(&amp;R)</translation>
    </message>
    <message>
        <source>导入联系人(&amp;I)...</source>
        <extracomment>Item of the window&apos;s menu that adds contacts from a vCard or CSV file; &amp; marks the mnemonic.</extracomment>
        <translation>导入联系人(&amp;I)...</translation>
    </message>
    <message>
        <source>导出联系人(&amp;E)...</source>
        <extracomment>Item of the window&apos;s menu that writes the contacts to a vCard or CSV file; &amp; marks the mnemonic.</extracomment>
        <translation>导出联系人(&amp;E)...</translation>
    </message>
    <message>
        <source>Cannot import contacts from this file.</source>
        <extracomment>Error when a vCard or CSV file cannot be read; the reason follows.</extracomment>
        <translation>无法从此文件导入联系人。</translation>
    </message>
    <message>
        <source>The phone book has changes that are not saved. Close anyway?</source>
        <extracomment>Question when the window is closed with changes not saved; OK closes, Cancel stays.</extracomment>
        <translation>电话本有尚未保存的更改。仍要关闭吗？</translation>
    </message>
    <message>
        <source>The phone book has changes that are not saved. Load another file anyway?</source>
        <extracomment>Question when a file is loaded or dropped on the window with changes not saved; OK loads, Cancel keeps the phone book.</extracomment>
        <translation>电话本有尚未保存的更改。仍要载入另一个文件吗？</translation>
    </message>
    <message>
        <source>The file chooser could not be shown (error %1).</source>
        <extracomment>Error when the system&apos;s file chooser could not open. %1 is the system&apos;s error number.</extracomment>
        <translation>无法显示文件选择窗口（错误 %1）。</translation>
    </message>
    <message>
        <source>代码页：%1</source>
        <extracomment>About box, the line naming the player&apos;s code page. %1 is its name (&quot;GBK&quot;).</extracomment>
        <translation>代码页：%1</translation>
    </message>
    <message>
        <source>vCard (*.vcf)|*.vcf|CSV (*.csv)|*.csv|All files (*)|*|</source>
        <extracomment>File types of the import chooser: name|pattern| pairs; translate the names only, keep every | and pattern.</extracomment>
        <translation>vCard (*.vcf)|*.vcf|CSV (*.csv)|*.csv|所有文件 (*)|*|</translation>
    </message>
    <message>
        <source>vCard 3.0 (*.vcf)|*.vcf|CSV (*.csv)|*.csv|</source>
        <extracomment>File types of the export chooser: name|pattern| pairs; translate the names only, keep every | and pattern.</extracomment>
        <translation>vCard 3.0 (*.vcf)|*.vcf|CSV (*.csv)|*.csv|</translation>
    </message>
    <message>
        <source>Note</source>
        <extracomment>Import dialog, header of the column of a contact&apos;s note.</extracomment>
        <translation>备注</translation>
    </message>
    <message>
        <source>Names already in the &amp;phone book:</source>
        <extracomment>Import dialog, label of the choice of what to do with names already in the book; &amp; marks the mnemonic.</extracomment>
        <translation>电话本中已有的姓名(&amp;P)：</translation>
    </message>
    <message>
        <source>The file was written but may not be on the disk yet. Save again, or eject the player safely before unplugging it.</source>
        <extracomment>Message after a save when the file was written but the system could not confirm it is on the disk (a player on a USB port); &quot;eject&quot; as the desktop&apos;s command to remove a drive safely.</extracomment>
        <translation>文件已写入，但可能尚未写到磁盘上。请再保存一次，或先安全弹出播放器再拔下。</translation>
    </message>
    <message>
        <source>%1 &quot;%2&quot; left out: the player holds one per contact</source>
        <extracomment>Import dialog, note of a contact. %1 is a column&apos;s name (&quot;Mobile&quot;), %2 a value the file gave besides the one kept.</extracomment>
        <translation>%1“%2”未导入：播放器每个联系人只存一个</translation>
    </message>
    <message>
        <source>%1: control characters removed</source>
        <extracomment>Import dialog, note of a contact. %1 is a column&apos;s name (&quot;Name&quot;).</extracomment>
        <translation>%1：已删除控制字符</translation>
    </message>
    <message>
        <source>%1: characters %2 cannot hold became &quot;?&quot;</source>
        <extracomment>Import dialog, note of a contact. %1 is a column&apos;s name (&quot;Name&quot;), %2 the player&apos;s code page (&quot;GBK&quot;).</extracomment>
        <translation>%1：%2 无法存储的字符已变为“?”</translation>
    </message>
    <message>
        <source>Unknown option &quot;%1&quot;. Usage: Orvalen [--encoding NAME] [FILE]</source>
        <extracomment>Error at start-up, in a message box and on standard error. %1 is the option given; the usage line stays as it is.</extracomment>
        <translation>未知的选项“%1”。用法：Orvalen [--encoding NAME] [FILE]</translation>
    </message>
    <message>
        <source>Orvalen opens one file at a time, but &quot;%2&quot; was given after &quot;%1&quot;. Usage: Orvalen [--encoding NAME] [FILE]</source>
        <extracomment>Error at start-up when two files are given. %1 is the first file, %2 the second; the usage line stays as it is.</extracomment>
        <translation>Orvalen 一次只能打开一个文件，但在“%1”之后又给了“%2”。用法：Orvalen [--encoding NAME] [FILE]</translation>
    </message>
    <message>
        <source>C&amp;haracter set:</source>
        <extracomment>Import dialog, label of the box that reads the file again in another character set; &amp; marks the mnemonic.</extracomment>
        <translation>字符集(&amp;H)：</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <extracomment>Import dialog, the button that imports the ticked contacts; &amp; marks the mnemonic.</extracomment>
        <translation>确定(&amp;O)</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <extracomment>Import dialog, the button that closes it importing nothing; &amp; marks the mnemonic.</extracomment>
        <translation>取消(&amp;C)</translation>
    </message>
    <message>
        <source>%1 · %2</source>
        <extracomment>Import dialog, the line under the list: %1 says how many contacts are ticked (&quot;3 selected&quot;), %2 how many places the phone book has left (&quot;5 places left&quot;) or how many too many are ticked; both are translated on their own.</extracomment>
        <translation>%1 · %2</translation>
    </message>
    <message numerus="yes">
        <source>%n selected</source>
        <extracomment>Import dialog, first part of the line under the list. %n is the number of contacts ticked.</extracomment>
        <translation>
            <numerusform>已选 %n 个</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n places left</source>
        <extracomment>Import dialog, second part of the line under the list. %n is how many more contacts the phone book can take.</extracomment>
        <translation>
            <numerusform>还剩 %n 个位置</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n more than the places left</source>
        <extracomment>Import dialog, second part of the line under the list when more are ticked than the phone book can take. %n is how many too many.</extracomment>
        <translation>
            <numerusform>比剩余位置多 %n 个</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1: at most %n bytes</source>
        <extracomment>Tooltip when a field refuses or cuts input, where the player&apos;s code page has no Chinese characters of a fixed size. %1 is the field&apos;s label without its colon (&quot;Name&quot;), %n the field&apos;s size in bytes.</extracomment>
        <translation>
            <numerusform>%1：最多 %n 字节</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1: at most %n digits</source>
        <extracomment>Tooltip when a number field (mobile, telephone, fax, QQ) refuses or cuts input. %1 is the field&apos;s label without its colon (&quot;Mobile&quot;), %n how many digits it holds.</extracomment>
        <translation>
            <numerusform>%1：最多 %n 位数字</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1: at most %n letters</source>
        <extracomment>Tooltip when a field refuses or cuts input and the player&apos;s code page takes one byte for every character. %1 is the field&apos;s label without its colon (&quot;Name&quot;), %n how many letters it holds.</extracomment>
        <translation>
            <numerusform>%1：最多 %n 个字母</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1: at most %n bytes — %2 Chinese characters or %n letters</source>
        <extracomment>Tooltip when a field refuses or cuts input. %1 is the field&apos;s label without its colon (&quot;Name&quot;), %n the field&apos;s size in bytes, which is also how many Latin letters it holds, %2 how many Chinese characters it holds in the player&apos;s code page (five or more).</extracomment>
        <translation>
            <numerusform>%1：最多 %n 字节（%2 个汉字或 %n 个字母）</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1: %2 does not fit in %n bytes, so nothing was pasted</source>
        <extracomment>Tooltip when a pasted number is refused whole. %1 is the field&apos;s label without its colon, %2 the number, %n the field&apos;s size in bytes.</extracomment>
        <translation>
            <numerusform>%1：%2 超过 %n 字节，未粘贴任何内容</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 &quot;%2&quot; left out: the player holds at most %n digits</source>
        <extracomment>Import dialog, note of a contact. %1 is a number column&apos;s name (&quot;Mobile&quot;), %2 the number, %n how many digits the player holds.</extracomment>
        <translation>
            <numerusform>%1“%2”未导入：播放器最多存 %n 位数字</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 &quot;%2&quot; left out: the player holds at most %n letters</source>
        <extracomment>Import dialog, note of a contact. %1 is a column&apos;s name (&quot;E-mail&quot;), %2 the value, %n how many letters the player holds.</extracomment>
        <translation>
            <numerusform>%1“%2”未导入：播放器最多存 %n 个字母</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 &quot;%2&quot; left out: the player holds at most %n bytes — %3 Chinese characters or %n letters</source>
        <extracomment>Import dialog, note of a contact. %1 is a column&apos;s name (&quot;E-mail&quot;), %2 the value, %n the field&apos;s size in bytes, which is also how many Latin letters it holds, %3 how many Chinese characters (five or more).</extracomment>
        <translation>
            <numerusform>%1“%2”未导入：播放器最多存 %n 字节（%3 个汉字或 %n 个字母）</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 &quot;%2&quot; left out: the player holds at most %n bytes</source>
        <extracomment>Import dialog, note of a contact. %1 is a column&apos;s name (&quot;E-mail&quot;), %2 the value, %n the field&apos;s size in bytes.</extracomment>
        <translation>
            <numerusform>%1“%2”未导入：播放器最多存 %n 字节</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Name cut to &quot;%1&quot;: the player holds at most %n letters</source>
        <extracomment>Import dialog, note of a contact whose name was too long. %1 is the name as cut, %n how many letters the player holds.</extracomment>
        <translation>
            <numerusform>姓名截为“%1”：播放器最多存 %n 个字母</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Name cut to &quot;%1&quot;: the player holds at most %n bytes — %2 Chinese characters or %n letters</source>
        <extracomment>Import dialog, note of a contact whose name was too long. %1 is the name as cut, %n the field&apos;s size in bytes, which is also how many Latin letters it holds, %2 how many Chinese characters (five or more).</extracomment>
        <translation>
            <numerusform>姓名截为“%1”：播放器最多存 %n 字节（%2 个汉字或 %n 个字母）</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Name cut to &quot;%1&quot;: the player holds at most %n bytes</source>
        <extracomment>Import dialog, note of a contact whose name was too long. %1 is the name as cut, %n the field&apos;s size in bytes.</extracomment>
        <translation>
            <numerusform>姓名截为“%1”：播放器最多存 %n 字节</numerusform>
        </translation>
    </message>
    <message>
        <source>%1: extension &quot;%2&quot; left out; only the number fits</source>
        <extracomment>Import dialog, note of a contact whose number had an extension (&quot;ext=102&quot;) that did not fit. %1 is a column&apos;s name (&quot;Telephone&quot;), %2 the extension.</extracomment>
        <translation>%1：分机号“%2”未导入，只放得下号码本身</translation>
    </message>
    <message>
        <source>Shown: the first %1 of %2 contacts</source>
        <extracomment>The import dialog of a file with more contacts than one read keeps: %1 contacts shown, %2 in the file.</extracomment>
        <translation>显示：共 %2 个联系人中的前 %1 个</translation>
    </message>
    <message>
        <source>Shown: contacts %1 to %2 of %3</source>
        <extracomment>The same for a later range: contacts %1 to %2 shown, %3 in the file.</extracomment>
        <translation>显示：共 %3 个联系人中的第 %1 至 %2 个</translation>
    </message>
    <message>
        <source>Read the ne&amp;xt %1</source>
        <extracomment>Import dialog, a button that reads the next %1 contacts of the file in place of those shown; &amp; marks the mnemonic.</extracomment>
        <translation>读取后 %1 个(&amp;X)</translation>
    </message>
    <message>
        <source>Back to the &amp;first %1</source>
        <extracomment>After the last range, the button reads the first %1 contacts again; &amp; marks the mnemonic.</extracomment>
        <translation>回到前 %1 个(&amp;F)</translation>
    </message>
    <message>
        <source>Reading contacts from %1 ...</source>
        <extracomment>Above the progress bar; %1 is the file&apos;s name.</extracomment>
        <translation>正在从 %1 读取联系人...</translation>
    </message>
</context>
</TS>
